#include "cli/CliReporter.h"

#include "cli/CliCommand.h"
#include "cli/Output.h"
#include "core/common/Utf.h"

void CCliReporter::ShowMessage(const std::u16string& text, MessageIcon)
{
    try {
        COutput(descriptor).Write("lockmere-cli: " + Utf16ToUtf8(text) + "\n");
    } catch (const CliFailure&) {
        // A message that cannot be shown has nowhere else to go; the exit code still tells the outcome.
    }
}
