#pragma once

#include "core/common/Reporter.h"
#include "core/common/TextSource.h"
#include "core/importexport/ImportedEntries.h"

// Tells, after an import was saved, how many entries it added, renamed and skipped.
void ShowImportSummary(IMessageReporter& reporter, const ITextSource& texts, const ImportCounts& counts);
