#include "core/settings/BuiltinTextTable.h"

#include <stdexcept>

#include "core/settings/BuiltinTexts.h"

CBuiltinTextTable::CBuiltinTextTable()
{
    texts.reserve(BuiltinTextCount);
    for (int id = 0; id < BuiltinTextCount; ++id) {
        texts.emplace_back(BuiltinText(id));
    }
}

const std::u16string& CBuiltinTextTable::Text(int id) const
{
    if (id < 0 || id >= BuiltinTextCount) {
        throw std::invalid_argument("text id out of range");
    }
    return texts[static_cast<std::size_t>(id)];
}
