#pragma once

#include <string_view>

#include "cli/Arguments.h"
#include "core/importexport/ImportedEntries.h"

// The import's choice whether records that the database holds already are left out.
inline constexpr std::string_view SkipIdenticalFlag = "--skip-identical";
inline constexpr std::string_view KeepIdenticalFlag = "--no-skip-identical";

// The choice the arguments make, or `otherwise` when they make none. Throws UsageError when they make both.
IdenticalEntries IdenticalEntriesOf(const CArguments& parsed, IdenticalEntries otherwise);
