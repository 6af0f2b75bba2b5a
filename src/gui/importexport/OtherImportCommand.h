#pragma once

#include "gui/importexport/CsvCommands.h"

// Shows the backup advice, asks for another password manager's export and previews it; on OK adds its entries as
// every import does, saves the database once and reports how many were added, renamed and skipped.
void ImportOtherManagerFile(const CsvCommandContext& context);
