#pragma once

#include "cli/Output.h"
#include "cli/PasswordReader.h"
#include "core/common/Reporter.h"
#include "core/common/TextSource.h"
#include "core/settings/Options.h"

// What every command works with: where messages go, the program's texts, where passwords come from and where
// results are written.
struct CliContext
{
    IMessageReporter& reporter;
    const ITextSource& texts;
    CPasswordReader& passwords;
    COutput& output;
    // The desktop program's settings, read at start; commands take their defaults from them.
    const COptions* settings = nullptr;
};
