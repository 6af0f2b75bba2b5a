#include "SessionFakes.h"

#include "core/common/Utf.h"

namespace {
template <class Queue> auto Next(Queue& queue) -> typename Queue::value_type
{
    if (queue.empty()) {
        return {};
    }
    auto answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

std::optional<SecureString> ToSecureAnswer(const std::optional<std::u16string>& answer)
{
    if (!answer) {
        return std::nullopt;
    }
    return ToSecure(*answer);
}
} // namespace

std::optional<std::filesystem::path> PromptScript::ChooseFileToOpen()
{
    asked.push_back(u"open");
    return Next(openFiles);
}

std::optional<std::filesystem::path> PromptScript::ChooseFileToSave(const std::u16string& proposedName)
{
    asked.push_back(u"save:" + proposedName);
    return Next(saveFiles);
}

std::optional<SecureString> PromptScript::AskPassword(EnterMode mode, const std::filesystem::path& file)
{
    passwordFiles.push_back(file);
    asked.push_back(u"password:" + ToU16(static_cast<unsigned>(mode)));
    return ToSecureAnswer(Next(passwords));
}

std::optional<SecureString> PromptScript::AskNewPassword(SetPasswordMode mode)
{
    asked.push_back(u"new-password:" + ToU16(static_cast<unsigned>(mode)));
    return ToSecureAnswer(Next(newPasswords));
}

bool PromptScript::AskOkCancel(const std::u16string& question)
{
    asked.push_back(u"ok-cancel:" + question);
    return answers.empty() ? false : Next(answers);
}

void PromptScript::ShowTip(int tip, int textId)
{
    asked.push_back(u"tip:" + ToU16(static_cast<unsigned>(tip)) + u":" + ToU16(static_cast<unsigned>(textId)));
}
