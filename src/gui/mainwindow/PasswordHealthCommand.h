#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "core/health/PasswordHealth.h"

class DatabaseSession;

// Makes the password health report of the open database, its master password included, on worker threads. The window
// keeps answering meanwhile and, when it takes longer than half a second, shows a progress indicator whose Cancel stops
// it (nothing then).
std::optional<std::vector<HealthFinding>> RunPasswordHealth(const CDataBase& database,
                                                            const SecureString& masterPassword,
                                                            const ITextSource& texts, QWidget* parent);

// What the Password Health command works with; `openEntry` runs the window's edit command on an entry.
struct PasswordHealthContext
{
    const CDataBase& database;
    DatabaseSession& session;
    const ITextSource& texts;
    QWidget* parent;
    std::function<void(const EntryKey& key)> openEntry;
};

// The Edit menu's Password Health: the report in its dialog, made again after each entry opened from it, as long as
// the database it started with stays open.
void ShowPasswordHealth(const PasswordHealthContext& context);
