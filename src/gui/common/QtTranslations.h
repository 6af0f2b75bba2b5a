#pragma once

#include <string>

// Qt's own texts (the standard buttons, the file and print dialogs, the names of keys such as Ctrl) in the language
// of the program's texts, from the Qt translations the distribution installs. A code without a translation, or an
// empty one, leaves Qt's English. Returns whether a translation is in use.
bool UseQtTranslations(const std::u16string& languageCode);
