#include "support/MessageRecorder.h"

#include <stdexcept>

#include "core/settings/BuiltinTexts.h"

std::vector<std::u16string> MessageRecorder::Texts() const
{
    std::vector<std::u16string> texts;
    for (const auto& message : messages) {
        texts.push_back(message.text);
    }
    return texts;
}

BuiltinTextSource::BuiltinTextSource()
{
    for (int id = 0; id < BuiltinTextCount; ++id) {
        texts.emplace_back(BuiltinText(id));
    }
}

const std::u16string& BuiltinTextSource::Text(int id) const
{
    if (id < 0 || static_cast<std::size_t>(id) >= texts.size()) {
        throw std::invalid_argument("text id out of range");
    }
    return texts[static_cast<std::size_t>(id)];
}
