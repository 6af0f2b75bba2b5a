#pragma once

// The main window's command ids, shared by the menu, the toolbar and (later) the tray and context menus.
namespace CommandId {
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileClose = 57602;
inline constexpr int FileCreateBackup = 32871;
inline constexpr int FileImportLdb = 32898;
inline constexpr int FileImportCsv = 32896;
inline constexpr int FileImportOther = 32962;
inline constexpr int FileImportKdbx = 32970;
inline constexpr int FileExportPrint = 32876;
inline constexpr int FileExportTxt = 32877;
inline constexpr int FileExportHtml = 32878;
inline constexpr int FileExportCsv = 32893;
inline constexpr int FileExportKdbx = 32971;
inline constexpr int FileOpenFolder = 32888;
inline constexpr int FileChangePass = 32839;
// The program's own: locks the open database at once, as the automatic lock does.
inline constexpr int FileLock = 40071;
// Synchronizes another database file (a sync tool's conflict copy, another machine's file) into the open one.
inline constexpr int FileSynchronize = 40072;
inline constexpr int EditAddEntry = 32786;
inline constexpr int EditEditEntry = 32785;
inline constexpr int EditDeleteEntry = 32784;
inline constexpr int EditPasteUsername = 40050;
inline constexpr int EditPastePassword = 40051;
inline constexpr int EditAutoLogin = 40052;
inline constexpr int EditCopyUser = 32799;
inline constexpr int EditCopyPassword = 32800;
inline constexpr int EditOpenUrl = 32801;
inline constexpr int EditCopyUrl = 32891;
inline constexpr int EditSortGroup = 32804;
inline constexpr int EditSortTitle = 32805;
inline constexpr int EditSortUsername = 32806;
inline constexpr int EditSortPassword = 32807;
inline constexpr int EditSortUrl = 32808;
inline constexpr int EditSortNotes = 32843;
inline constexpr int EditClearClipboard = 32884;
inline constexpr int EditPasswordHealth = 32960;
inline constexpr int Options = 32781;
inline constexpr int Help = 32782;
inline constexpr int HelpUpdate = 32841;
inline constexpr int HelpAbout = 32783;
inline constexpr int TrayShow = 32829;
inline constexpr int TrayAddEntry = 32830;
inline constexpr int TrayOptions = 32831;
inline constexpr int TrayHelp = 32832;
inline constexpr int TrayUpdate = 32833;
inline constexpr int TrayAbout = 32834;
inline constexpr int TrayExit = 32835;
} // namespace CommandId
