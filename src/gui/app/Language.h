#pragma once

#include <string>

class CTranslate;

// Switches the program's texts to `language` (the English name of a language file), Qt's own texts with them: the
// standard buttons, the file dialog and the line edit's menu come from Qt's catalogue for the language file's
// "lang_code". Open windows are told, as Qt tells them of every language change.
void LoadLanguage(CTranslate& translation, const std::u16string& language);
