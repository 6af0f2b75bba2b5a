#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "core/database/DataBase.h"
#include "core/health/PasswordHealth.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The password health report: one row per entry of each finding, weakest first. A double click (or ENTER) on a row
// opens its entry in the entry dialog; the report is made again afterwards, as the edit may have mended it.
class CDlgPasswordHealth : public QDialog
{
    Q_OBJECT
public:
    // Makes the report again; nothing when it was stopped or the database is no longer open.
    using Analyze = std::function<std::optional<std::vector<HealthFinding>>()>;
    using OpenEntry = std::function<void(const EntryKey& key)>;

    enum Column
    {
        FindingColumn,
        GroupColumn,
        TitleColumn,
        UsernameColumn,
        StrengthColumn,
    };

    CDlgPasswordHealth(const CDataBase& database, const ITextSource& texts, std::vector<HealthFinding> findings,
                       Analyze analyze, OpenEntry openEntry, QWidget* parent = nullptr);

    QTreeWidget* Rows() const { return rows; }

private:
    void Fill(const std::vector<HealthFinding>& findings);
    QString FindingText(const HealthFinding& finding) const;
    QString StrengthText(double bits) const;
    void OnRowActivated(QTreeWidgetItem* row);

    const CDataBase& database;
    const ITextSource& texts;
    Analyze analyze;
    OpenEntry openEntry;
    QTreeWidget* rows = nullptr;
    QLabel* nothingFound = nullptr;
};
