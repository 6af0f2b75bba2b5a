#pragma once

#include <string_view>

#include "core/common/SecureString.h"

// Reads passwords: from the terminal without echo after a prompt, or, when the input is not a terminal, one per line
// in the order they are asked for (a line may end in CR LF). Never buffers more than the line it returns.
class CPasswordReader
{
public:
    explicit CPasswordReader(int inputDescriptor, int promptDescriptor);

    // Throws CliFailure when the input ends before the password, or the password is not valid UTF-8 or holds U+0000.
    SecureString Read(std::u16string_view prompt);

    bool IsTerminal() const { return terminal; }
    // Asks a yes-or-no question at the terminal, the answer echoed; true for "y" or "yes" in either case.
    bool Confirm(std::u16string_view question);
    // Writes a line of explanation before a group of prompts, only when the user types at a terminal.
    void Explain(std::u16string_view text);

private:
    int input;
    int promptOutput;
    bool terminal;
};
