#pragma once

#include <string>

#include "core/common/SecureString.h"
#include "core/database/Entry.h"

// UTF-8 bytes that may hold a secret (a shown password), wiped when released.
using SecureUtf8 = std::basic_string<char, std::char_traits<char>, WipingAllocator<char>>;

// Writes results straight to a file descriptor, without a stream buffer that would keep a copy of what was shown.
class COutput
{
public:
    explicit COutput(int descriptor)
        : descriptor(descriptor)
    {}
    // Throws CliFailure when the output cannot be written.
    void Write(const SecureUtf8& text);
    void Write(std::string_view text);
    // The text and a line end after it.
    void WriteLine(SecureUtf8 text);

private:
    int descriptor;
};

// A field in UTF-8 with every character that would break the line or steer the terminal written as an escape: "\\"
// for a backslash, "\t", "\n", "\r", and "\xHH" for the other control characters (U+0000 to U+001F, U+007F to
// U+009F). An unpaired surrogate becomes U+FFFD.
SecureUtf8 EscapeField(const SecureString& field);

// A field in UTF-8 exactly as stored, for scripts that read one value; an unpaired surrogate becomes U+FFFD.
SecureUtf8 PlainField(const SecureString& field);

// The line by which ls and search list an entry: the escaped group, a tab, the escaped title, a line end.
SecureUtf8 ListingLine(const EntryKey& key);
