#pragma once

#include "cli/Output.h"
#include "cli/PasswordReader.h"
#include "core/common/Reporter.h"
#include "core/common/TextSource.h"

class COptions;

// What every command works with: where messages go, the program's texts, where passwords come from and where
// results are written, and the desktop program's settings (nullptr: the defaults).
struct CliContext
{
    IMessageReporter& reporter;
    const ITextSource& texts;
    CPasswordReader& passwords;
    COutput& output;
    const COptions* options = nullptr;
};
