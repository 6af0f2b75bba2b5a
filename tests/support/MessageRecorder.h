#pragma once

#include <string>
#include <vector>

#include "core/common/Reporter.h"
#include "core/common/TextSource.h"

// Records every message the code under test shows, in order.
class MessageRecorder : public IMessageReporter
{
public:
    struct Message
    {
        std::u16string text;
        MessageIcon icon;
    };

    void ShowMessage(const std::u16string& text, MessageIcon icon) override { messages.push_back({text, icon}); }

    std::vector<std::u16string> Texts() const;
    void Reset() { messages.clear(); }

    std::vector<Message> messages;
};

// The built-in English texts, for tests that do not load a translation.
class BuiltinTextSource : public ITextSource
{
public:
    BuiltinTextSource();
    const std::u16string& Text(int id) const override;

private:
    std::vector<std::u16string> texts;
};
