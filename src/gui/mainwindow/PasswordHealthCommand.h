#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "core/health/PasswordHealth.h"

class CommandTable;
class CommandTicket;

// Makes the password health report (the master password's finding included) from the copy the analysis holds, on worker
// threads. The window keeps answering meanwhile and, when it takes longer than half a second, shows a progress
// indicator whose Cancel stops it (nothing then).
std::optional<std::vector<HealthFinding>> RunPasswordHealth(const PasswordHealthAnalysis& analysis,
                                                            const ITextSource& texts, QWidget* parent);

// The Edit menu's Password Health: the report in its dialog, made again after each entry opened from it, as long as
// the database it started with stays open. The report closes when the database locks or closes.
void ShowPasswordHealth(CommandTicket& ticket);
void AddPasswordHealthCommand(CommandTable& table);
