#pragma once

#include "core/importexport/ImportedEntries.h"

// Tells, after an import was saved, how many entries it added, renamed and skipped.
void ShowImportSummary(const CDataBase& database, const ImportCounts& counts);
