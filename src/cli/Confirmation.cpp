#include "cli/Confirmation.h"

#include "core/common/Utf.h"

void ConfirmDone(CliContext& context, const CArguments& arguments, const std::string& text)
{
    if (!arguments.Quiet()) {
        context.reporter.ShowMessage(Utf8ToUtf16(text), MessageIcon::Information);
    }
}

std::string KeyText(const EntryKey& key)
{
    const SecureUtf8 group = EscapeField(key.group);
    const SecureUtf8 title = EscapeField(key.title);
    return std::string(group.begin(), group.end()) + "/" + std::string(title.begin(), title.end());
}
