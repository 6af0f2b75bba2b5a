#pragma once

#include <QDialog>
#include <array>

#include "core/database/DataBase.h"
#include "core/session/EntryAccess.h"

class FieldNumberBox;
class IFileChooser;
class QCheckBox;

// Maps the positions of a CSV file's fields onto entry fields, asks for the file and adds its records to the open
// database. Saving the database is the caller's part.
class CDlgImportCSV : public QDialog
{
    Q_OBJECT
public:
    // The chosen file's records are poured into the collection through `entries`.
    CDlgImportCSV(IEntryAccess& entries, IFileChooser& files, QWidget* parent = nullptr);

    // Refuses equal field numbers, asks for the file and reads it. Stays open when the user cancels the chooser
    // or the file is refused, so that the mapping can be changed and tried again. Closes as cancelled when the
    // database has gone while the chooser was open.
    void accept() override;

private:
    // Group, title, username, password, url, notes: the number of each ticked field, -1 for a clear one.
    std::array<int, EntryFieldCount> FieldNumbers() const;

    IEntryAccess& entries;
    IFileChooser& files;
    QCheckBox* header;
    std::array<QCheckBox*, EntryFieldCount> fieldTicks{};
    std::array<FieldNumberBox*, EntryFieldCount> numbers{};
};
