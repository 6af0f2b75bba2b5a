#pragma once

#include <string>
#include <vector>

#include "core/common/TextSource.h"

// The built-in English texts as a text source, for a program that shows its texts without a language file.
class CBuiltinTextTable : public ITextSource
{
public:
    CBuiltinTextTable();
    const std::u16string& Text(int id) const override;

private:
    std::vector<std::u16string> texts;
};
