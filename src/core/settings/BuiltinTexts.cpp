#include "core/settings/BuiltinTexts.h"

#include <array>

namespace {
// The English texts, by id. Ids without a text of their own hold a single blank so that the table has no gap.
constexpr std::array<std::u16string_view, BuiltinTextCount> Texts = {
    u"Cancel",                                                                                                    // 0
    u"Version 1.6",                                                                                               // 1
    u"Username",                                                                                                  // 2
    u"Password",                                                                                                  // 3
    u"Group",                                                                                                     // 4
    u"General",                                                                                                   // 5
    u"About Lockmere",                                                                                            // 6
    u"Item(s)",                                                                                                   // 7
    u"The program is already running.",                                                                           // 8
    u"Tip",                                                                                                       // 9
    u"Do not show me this tip again",                                                                             // 10
    u"Please remember that the database should be closed to move, rename or delete the database file.",           // 11
    u" ",                                                                                                         // 12
    u"Options",                                                                                                   // 13
    u" ",                                                                                                         // 14
    u" ",                                                                                                         // 15
    u" ",                                                                                                         // 16
    u"Title",                                                                                                     // 17
    u"URL/Path",                                                                                                  // 18
    u"Notes",                                                                                                     // 19
    u"Show",                                                                                                      // 20
    u"Exit",                                                                                                      // 21
    u" ",                                                                                                         // 22
    u" ",                                                                                                         // 23
    u"Lockmere (Portable)",                                                                                       // 24
    u" ",                                                                                                         // 25
    u" ",                                                                                                         // 26
    u" ",                                                                                                         // 27
    u" ",                                                                                                         // 28
    u" ",                                                                                                         // 29
    u"Enter",                                                                                                     // 30
    u"Hide Password Behind Asterisks (***)",                                                                      // 31
    u" ",                                                                                                         // 32
    u" ",                                                                                                         // 33
    u" ",                                                                                                         // 34
    u" ",                                                                                                         // 35
    u"Specify the old master password.",                                                                          // 36
    u" ",                                                                                                         // 37
    u"Invalid password.",                                                                                         // 38
    u" ",                                                                                                         // 39
    u" ",                                                                                                         // 40
    u" ",                                                                                                         // 41
    u" ",                                                                                                         // 42
    u" ",                                                                                                         // 43
    u" ",                                                                                                         // 44
    u" ",                                                                                                         // 45
    u" ",                                                                                                         // 46
    u" ",                                                                                                         // 47
    u" ",                                                                                                         // 48
    u" ",                                                                                                         // 49
    u"Password Generator",                                                                                        // 50
    u"Use characters",                                                                                            // 51
    u"Length",                                                                                                    // 52
    u"Automatically generate for a new entry",                                                                    // 53
    u"Upper case letters (A-Z)",                                                                                  // 54
    u"Lower case letters (a-z)",                                                                                  // 55
    u"Numbers (0-9)",                                                                                             // 56
    u"Special symbols (@#%...)",                                                                                  // 57
    u" ",                                                                                                         // 58
    u" ",                                                                                                         // 59
    u"Security",                                                                                                  // 60
    u"Clipboard",                                                                                                 // 61
    u"Clear clipboard at exit",                                                                                   // 62
    u"Clear clipboard automatically after",                                                                       // 63
    u"seconds",                                                                                                   // 64
    u"Database",                                                                                                  // 65
    u"Lock database after Lockmere inactivity",                                                                   // 66
    u"Lock database when minimizing Lockmere",                                                                    // 67
    u" ",                                                                                                         // 68
    u" ",                                                                                                         // 69
    u"Form Filling",                                                                                              // 70
    u"Paste",                                                                                                     // 71
    u"Enable paste username and password from edit menu",                                                         // 72
    u"Enable paste username and password from tray menu",                                                         // 73
    u"Auto-Login",                                                                                                // 74
    u"Enable auto-login from edit menu",                                                                          // 75
    u"Enable auto-login from tray menu",                                                                          // 76
    u"Paste Username",                                                                                            // 77
    u"Paste Password",                                                                                            // 78
    u"Group entries in tray menu",                                                                                // 79
    u"General",                                                                                                   // 80
    u"Close button [X] minimize the main window instead of terminating the application ",                         // 81
    u"Automatically open last used database on startup",                                                          // 82
    u"Start when I log in (for the current user)",                                                                // 83
    u"Ask for confirmation before deleting entries",                                                              // 84
    u"Start hidden in the notification area when I log in",                                                       // 85
    u"Before use, we recommend to read the help. ",                                                               // 86
    u"Portable Version",                                                                                          // 87
    u"Browse...",                                                                                                 // 88
    u"Please select or type an existing folder, for example on a USB drive, to install the portable version in:", // 89
    u"Put all files to \"Lockmere\" subfolder",                                                                   // 90
    u"Copy the current settings of the program",                                                                  // 91
    u"Copy the current database to the portable version folder",                                                  // 92
    u"These options will help you install Lockmere on a removable device such as a USB drive. To do this, select "
    u"target path, check required options, and click the \"Install\" button. You will be able to run Lockmere directly "
    u"from your device and use databases stored there. You can plug the device into any computer with an x86-64 Linux "
    u"desktop (glibc 2.35 or later, X11 or Wayland) and use your data; nothing needs to be installed there.", // 93
    u"Install",                                                                                               // 94
    u"Install in progress...",                                                                                // 95
    u"Lockmere was successfully installed to",                                                                // 96
    u". To work with the program from the selected location, start the Lockmere file in the program's folder there "
    u"(on a drive that does not run programs: sh Lockmere).",                                                  // 97
    u"Specify the installation path.",                                                                         // 98
    u"The specified path does not exist.",                                                                     // 99
    u"View",                                                                                                   // 100
    u"Language",                                                                                               // 101
    u"Always on Top ",                                                                                         // 102
    u"Hide Usernames Behind Asterisks (***)",                                                                  // 103
    u"Hide Passwords Behind Asterisks (***)",                                                                  // 104
    u"Show a tree view groups",                                                                                // 105
    u"Show Columns",                                                                                           // 106
    u" ",                                                                                                      // 107
    u"An error occurred during installation.",                                                                 // 108
    u"Not enough disk space.",                                                                                 // 109
    u" ",                                                                                                      // 110
    u" ",                                                                                                      // 111
    u" ",                                                                                                      // 112
    u" ",                                                                                                      // 113
    u" ",                                                                                                      // 114
    u" ",                                                                                                      // 115
    u" ",                                                                                                      // 116
    u" ",                                                                                                      // 117
    u" ",                                                                                                      // 118
    u" ",                                                                                                      // 119
    u"File",                                                                                                   // 120
    u"Change Password",                                                                                        // 121
    u"New",                                                                                                    // 122
    u"Open",                                                                                                   // 123
    u"Close",                                                                                                  // 124
    u"Close the current database?",                                                                            // 125
    u"Create Backup",                                                                                          // 126
    u"The backup is created:",                                                                                 // 127
    u"Export",                                                                                                 // 128
    u"Print",                                                                                                  // 129
    u"Text File (*.txt)",                                                                                      // 130
    u"HTML File",                                                                                              // 131
    u"The txt file is created:",                                                                               // 132
    u"The HTML file is created:",                                                                              // 133
    u"Open Containing Folder",                                                                                 // 134
    u"CSV File",                                                                                               // 135
    u"Import",                                                                                                 // 136
    u"Export To CSV File",                                                                                     // 137
    u"Delimiter",                                                                                              // 138
    u"The CSV file is created:",                                                                               // 139
    u"Edit",                                                                                                   // 140
    u"Add Entry",                                                                                              // 141
    u"Edit/View Entry",                                                                                        // 142
    u"Delete Entry",                                                                                           // 143
    u"Copy Username",                                                                                          // 144
    u"Copy Password",                                                                                          // 145
    u"URL/Path",                                                                                               // 146
    u"Group",                                                                                                  // 147
    u"Title",                                                                                                  // 148
    u"Username",                                                                                               // 149
    u"Password",                                                                                               // 150
    u"URL/Path",                                                                                               // 151
    u"The database already contained an element with such title and group. Please change the title or group.", // 152
    u"Notes",                                                                                                  // 153
    u"Are you sure you want to delete the selected entry?",                                                    // 154
    u"Clear Clipboard",                                                                                        // 155
    u"Clipboard has been cleared.",                                                                            // 156
    u"Sort By",                                                                                                // 157
    u"Open",                                                                                                   // 158
    u"Copy",                                                                                                   // 159
    u"Help",                                                                                                   // 160
    u"Help",                                                                                                   // 161
    u"About",                                                                                                  // 162
    u"Check for Update",                                                                                       // 163
    u"Copy URL/Path",                                                                                          // 164
    u"Header",                                                                                                 // 165
    u"Fields",                                                                                                 // 166
    u"Import From CSV File",                                                                                   // 167
    u"Field #",                                                                                                // 168
    u"Field numbers must be different.",                                                                       // 169
    u"Lockmere Database",                                                                                      // 170
    u"Merging databases",                                                                                      // 171
    u"Specify the password of the importing database.",                                                        // 172
    u"We recommend that before importing you always make a backup of the database (File > Create Backup), in which "
    u"import will be done, in case you are not satisfied with the result.",                                   // 173
    u"The file format is invalid. This file can not be imported.",                                            // 174
    u"Invalid characters detected. The file can not be imported.",                                            // 175
    u"The specified number of the \"",                                                                        // 176
    u"\" field exceeds the number of fields in the records. Please, change the number or uncheck the field.", // 177
    u" ",                                                                                                     // 178
    u" ",                                                                                                     // 179
    u"Group:",                                                                                                // 180
    u"Title:",                                                                                                // 181
    u"Username:",                                                                                             // 182
    u"Password:",                                                                                             // 183
    u"Repeat:",                                                                                               // 184
    u"URL/Path:",                                                                                             // 185
    u"Notes:",                                                                                                // 186
    u"Generate",                                                                                              // 187
    u"Error: Passwords do not match, please retype.",                                                         // 188
    u" ",                                                                                                     // 189
    u" ",                                                                                                     // 190
    u" ",                                                                                                     // 191
    u" ",                                                                                                     // 192
    u" ",                                                                                                     // 193
    u" ",                                                                                                     // 194
    u" ",                                                                                                     // 195
    u" ",                                                                                                     // 196
    u" ",                                                                                                     // 197
    u" ",                                                                                                     // 198
    u" ",                                                                                                     // 199
    u"Windows",                                                                                               // 200
    u"Network",                                                                                               // 201
    u"WWW",                                                                                                   // 202
    u"Email",                                                                                                 // 203
    u"Homebanking",                                                                                           // 204
    u"Applications",                                                                                          // 205
    u"Social Networks",                                                                                       // 206
    u"Forums",                                                                                                // 207
    u"Instant Messengers",                                                                                    // 208
    u" ",                                                                                                     // 209
    u" ",                                                                                                     // 210
    u" ",                                                                                                     // 211
    u" ",                                                                                                     // 212
    u" ",                                                                                                     // 213
    u" ",                                                                                                     // 214
    u" ",                                                                                                     // 215
    u" ",                                                                                                     // 216
    u" ",                                                                                                     // 217
    u" ",                                                                                                     // 218
    u" ",                                                                                                     // 219
    u"Specify the composite master password.",                                                                // 220
    u"Specify the new master password.",                                                                      // 221
    u"Password",                                                                                              // 222
    u"Repeat",                                                                                                // 223
    u"Error: Passwords do not match, please retype.",                                                         // 224
    u"Hide Password Behind Asterisks (***)",                                                                  // 225
    u"Please be sure to remember your password. It is not possible to open your database without valid password.", // 226
    u" ",                                                                                                       // 227
    u" ",                                                                                                       // 228
    u" ",                                                                                                       // 229
    u" ",                                                                                                       // 230
    u" ",                                                                                                       // 231
    u" ",                                                                                                       // 232
    u" ",                                                                                                       // 233
    u" ",                                                                                                       // 234
    u" ",                                                                                                       // 235
    u" ",                                                                                                       // 236
    u" ",                                                                                                       // 237
    u" ",                                                                                                       // 238
    u" ",                                                                                                       // 239
    u" ",                                                                                                       // 240
    u" ",                                                                                                       // 241
    u" ",                                                                                                       // 242
    u" ",                                                                                                       // 243
    u" ",                                                                                                       // 244
    u" ",                                                                                                       // 245
    u" ",                                                                                                       // 246
    u" ",                                                                                                       // 247
    u" ",                                                                                                       // 248
    u" ",                                                                                                       // 249
    u" ",                                                                                                       // 250
    u" ",                                                                                                       // 251
    u" ",                                                                                                       // 252
    u" ",                                                                                                       // 253
    u" ",                                                                                                       // 254
    u" ",                                                                                                       // 255
    u" ",                                                                                                       // 256
    u" ",                                                                                                       // 257
    u" ",                                                                                                       // 258
    u" ",                                                                                                       // 259
    u" ",                                                                                                       // 260
    u"The database file is damaged. Entries read:",                                                             // 261
    u"The rest of the file could not be read. Before the first change is saved, the original file is kept as:", // 262
    u"The damaged original could not be kept beside the database file, so the change was not saved.",           // 263
    u"A field contains a NUL character (U+0000), which can not be stored. Remove it and try again.",            // 264
    u"bit",                                                                                                     // 265
    u" ",                                                                                                       // 266
    u" ",                                                                                                       // 267
    u" ",                                                                                                       // 268
    u" ",                                                                                                       // 269
    u" ",                                                                                                       // 270
    u" ",                                                                                                       // 271
    u" ",                                                                                                       // 272
    u" ",                                                                                                       // 273
    u" ",                                                                                                       // 274
    u" ",                                                                                                       // 275
    u" ",                                                                                                       // 276
    u" ",                                                                                                       // 277
    u" ",                                                                                                       // 278
    u" ",                                                                                                       // 279
    u"The database was locked or closed while the dialog was open, so nothing was changed.",                    // 280
    u"Opening the database...",                                                                                 // 281
    u"Saving the database...",                                                                                  // 282
    u"Importing entries...",                                                                                    // 283
    u"Writing the file...",                                                                                     // 284
    u"Listing the entries...",                                                                                  // 285
    u"Closing the database...",                                                                                 // 286
    u"Reading the file...",                                                                                     // 287
    u" ",                                                                                                       // 288
    u" ",                                                                                                       // 289
    u"Paste and Auto-Login need an X11 session: under Wayland Lockmere cannot type into other programs.",       // 290
    u"Lockmere could not return to the previous window, so nothing was typed.",                                 // 291
    u"Other Password Manager...",                                                                               // 292
    u"Import From Other Password Manager",                                                                      // 293
    u"Format:",                                                                                                 // 294
    u"Automatic",                                                                                               // 295
    u" ",                                                                                                       // 296
    u"The file holds %1 entries; %2 of them will be skipped.",                                                  // 297
    u"Import finished. Added: %1, renamed: %2, skipped: %3.",                                                   // 298
    u"File:",                                                                                                   // 299
    u"Search",                                                                                                  // 300
    u"Lock",                                                                                                    // 301
    u"Welcome to Lockmere. Create a new database for your passwords, or open one you already have.",            // 302
    u"Create a new database",                                                                                   // 303
    u"Open a database",                                                                                         // 304
    u" ",                                                                                                       // 305
    u" ",                                                                                                       // 306
    u" ",                                                                                                       // 307
    u" ",                                                                                                       // 308
    u" ",                                                                                                       // 309
    u" ",                                                                                                       // 310
    u" ",                                                                                                       // 311
    u" ",                                                                                                       // 312
    u" ",                                                                                                       // 313
    u" ",                                                                                                       // 314
    u"Password Health",                                                                                         // 315
    u"Finding",                                                                                                 // 316
    u"Strength",                                                                                                // 317
    u"bits",                                                                                                    // 318
    u"Empty password",                                                                                          // 319
    u"Reused password",                                                                                         // 320
    u"entries:",                                                                                                // 321
    u"Weak password",                                                                                           // 322
    u"Very weak",                                                                                               // 323
    u"Weak",                                                                                                    // 324
    u"Fair",                                                                                                    // 325
    u"Strong",                                                                                                  // 326
    u"Estimating password strength...",                                                                         // 327
    u"No empty, reused or weak passwords were found.",                                                          // 328
    u" ",                                                                                                       // 329
    u"Master password for",                                                                                     // 330
    u"Password for the new entry",                                                                              // 331
    u"New master password for",                                                                                 // 332
    u"The new master password is empty: anyone who gets the file can read it. Use it anyway? [y/N]",            // 333
    u"New password for the entry",                                                                              // 334
    u" ",                                                                                                       // 335
    u" ",                                                                                                       // 336
    u" ",                                                                                                       // 337
    u" ",                                                                                                       // 338
    u" ",                                                                                                       // 339
    u" ",                                                                                                       // 340
    u" ",                                                                                                       // 341
    u" ",                                                                                                       // 342
    u" ",                                                                                                       // 343
    u" ",                                                                                                       // 344
    u" ",                                                                                                       // 345
    u" ",                                                                                                       // 346
    u" ",                                                                                                       // 347
    u" ",                                                                                                       // 348
    u" ",                                                                                                       // 349
    u" ",                                                                                                       // 350
    u" ",                                                                                                       // 351
    u" ",                                                                                                       // 352
    u" ",                                                                                                       // 353
    u" ",                                                                                                       // 354
    u" ",                                                                                                       // 355
    u" ",                                                                                                       // 356
    u" ",                                                                                                       // 357
    u" ",                                                                                                       // 358
    u" ",                                                                                                       // 359
    u" ",                                                                                                       // 360
    u" ",                                                                                                       // 361
    u" ",                                                                                                       // 362
    u" ",                                                                                                       // 363
    u" ",                                                                                                       // 364
    u" ",                                                                                                       // 365
    u" ",                                                                                                       // 366
    u" ",                                                                                                       // 367
    u" ",                                                                                                       // 368
    u" ",                                                                                                       // 369
    u"The file has a quotation mark out of place in line",                                                      // 370
    u". The file can not be imported.",                                                                         // 371
    u"The first line of the file is not a header that this import knows. Known headers:",                       // 372
    u" ",                                                                                                       // 373
    u" ",                                                                                                       // 374
    u" ",                                                                                                       // 375
    u" ",                                                                                                       // 376
    u" ",                                                                                                       // 377
    u" ",                                                                                                       // 378
    u" ",                                                                                                       // 379
    u"Estimated time for an offline attack on this database file to find this password: %1. The file's key is "
    u"a single MD5 of the master password, without salt, and one consumer graphics card tries about ten billion "
    u"(10^10) passwords a second.", // 380
    u"Warning: that is less than a century. Choose a longer password, for example five or more unrelated "
    u"words.",                                                                  // 381
    u"less than a second",                                                      // 382
    u"about 1 second|about %1 seconds",                                         // 383
    u"about 1 minute|about %1 minutes",                                         // 384
    u"about 1 hour|about %1 hours",                                             // 385
    u"about 1 day|about %1 days",                                               // 386
    u"about 1 year|about %1 years",                                             // 387
    u"more than a thousand years",                                              // 388
    u"Weak master password",                                                    // 389
    u"(the master password)",                                                   // 390
    u" ",                                                                       // 391
    u" ",                                                                       // 392
    u" ",                                                                       // 393
    u" ",                                                                       // 394
    u" ",                                                                       // 395
    u" ",                                                                       // 396
    u" ",                                                                       // 397
    u" ",                                                                       // 398
    u" ",                                                                       // 399
    u"The database file could not be opened:",                                  // 400
    u"Printing failed: the printer or the PDF file did not take the document.", // 401
    u"Under Wayland Lockmere can type only into programs that run on X11 (XWayland), and the window to type into is "
    u"not one of them. Copy the value and paste it there instead.",                 // 402
    u"The PDF file could not be written:",                                          // 403
    u" ",                                                                           // 404
    u" ",                                                                           // 405
    u" ",                                                                           // 406
    u" ",                                                                           // 407
    u" ",                                                                           // 408
    u" ",                                                                           // 409
    u"The database file was changed by another program; its new version is shown.", // 410
    u"The database file was replaced by a version that does not open with this database's "
    u"password: its password may have been changed elsewhere. Nothing of it was read, and no "
    u"change can be saved over it. Close the database?", // 411
    u"The database file was changed by another program, but its new version could not be read; "
    u"the window keeps showing the version read before.", // 412
    u"The new version of the file is damaged.",           // 413
    u"The file kept changing while it was read.",         // 414
    u"The database file had been changed by another program; its changes and yours were both "
    u"saved. These entries were changed differently on both sides: the other program's version "
    u"keeps its title, and yours was saved under the title after the arrow:", // 415
    u"The database file was changed by another program, and its new version does not open with "
    u"this database's password; nothing was written, to keep that version. Close the database, "
    u"open it with its new password, then repeat your change.", // 416
    u"The database file was changed by another program, and its new version could not be read; "
    u"nothing was written, to keep that version.",                                      // 417
    u"Synchronize...",                                                                  // 418
    u"Synchronizing databases",                                                         // 419
    u"Specify the password of the database to synchronize with.",                       // 420
    u"Synchronization finished. Added: %1, identical: %2, kept both: %3.",              // 421
    u"Kept both; the other file's entry is under the title shown:",                     // 422
    u"A file synchronizing tool left conflict copies of this database beside it:",      // 423
    u"Synchronize them into the database now?",                                         // 424
    u"The conflict copies are synchronized into the database. Move them to the trash?", // 425
    u"The copy could not be moved to the trash. Delete it for good?",                   // 426
    u" ",                                                                               // 427
    u" ",                                                                               // 428
    u" ",                                                                               // 429
    u"The KeePassXC database is created:",                                              // 430
    u"KeePassXC Database (.kdbx)...",                                                   // 431
    u"Open KeePassXC Database",                                                         // 432
    u"Password for",                                                                    // 433
    u"Key file (optional):",                                                            // 434
    u"Import finished. Added: %1, renamed: %2, skipped: %3. Not imported: %4 history entries, %5 entries in the "
    u"recycle bin, %6 attachments.", // 435
    u"The file holds %1 entries. Not imported: %2 history entries, %3 entries in the recycle bin, %4 attachments.", // 436
    u"New password for",                                                                                         // 437
    u"The new file needs a password: KeePassXC cannot open a file without one.",                                 // 438
    u"KeePassXC databases (*.kdbx)",                                                                             // 439
    u"Specify the password of the new KeePassXC database; it need not be the master password of this database.", // 440
    u"Export to KeePassXC Database",                                                                             // 441
    u" ",                                                                                                        // 442
    u" ",                                                                                                        // 443
    u" ",                                                                                                        // 444
    u" ",                                                                                                        // 445
    u" ",                                                                                                        // 446
    u" ",                                                                                                        // 447
    u" ",                                                                                                        // 448
    u" ",                                                                                                        // 449
    u"%1 is not a Lockmere database (its size is not a whole number of cipher blocks).",                         // 450
    u"Skip entries identical in all six fields",                                                                 // 451
    u"line",                                                                                                     // 452
    u"Standard CSV for other programs (RFC 4180)",                                                               // 453
    u" ",                                                                                                        // 454
    u" ",                                                                                                        // 455
    u" ",                                                                                                        // 456
    u" ",                                                                                                        // 457
    u" ",                                                                                                        // 458
    u" ",                                                                                                        // 459
    u" ",                                                                                                        // 460
    u" ",                                                                                                        // 461
    u" ",                                                                                                        // 462
    u" ",                                                                                                        // 463
    u" ",                                                                                                        // 464
    u" ",                                                                                                        // 465
    u" ",                                                                                                        // 466
    u" ",                                                                                                        // 467
    u" ",                                                                                                        // 468
    u" ",                                                                                                        // 469
    u" ",                                                                                                        // 470
    u" ",                                                                                                        // 471
    u" ",                                                                                                        // 472
    u" ",                                                                                                        // 473
    u" ",                                                                                                        // 474
    u" ",                                                                                                        // 475
    u" ",                                                                                                        // 476
    u" ",                                                                                                        // 477
    u" ",                                                                                                        // 478
    u" ",                                                                                                        // 479
};
} // namespace

std::u16string_view BuiltinText(int id)
{
    if (id < 0 || id >= BuiltinTextCount) {
        return {};
    }
    return Texts[static_cast<std::size_t>(id)];
}
