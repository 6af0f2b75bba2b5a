#pragma once

#include <QDialog>
#include <array>

#include "core/database/DataBase.h"
#include "core/session/EntryAccess.h"

class IFileChooser;
class QCheckBox;
class QLineEdit;

// Chooses the fields, the header line and the delimiter of a CSV export, asks for the file and writes it.
class CDlgExportCSV : public QDialog
{
    Q_OBJECT
public:
    // `databaseFileName` is the open database's file name, without its folder; the file proposed is named after it.
    // The file is written as file work of `entries`, so that a large database does not hold up the window.
    CDlgExportCSV(IEntryAccess& entries, IFileChooser& files, const std::u16string& databaseFileName,
                  QWidget* parent = nullptr);

    // Asks for the file; a cancelled choice keeps the dialog open. Closes with OK once the writer has run, whether
    // it wrote the file or reported why not, and as cancelled when the database went while the chooser was open.
    void accept() override;

private:
    IEntryAccess& entries;
    IFileChooser& files;
    std::u16string proposedName;
    QCheckBox* header;
    std::array<QCheckBox*, EntryFieldCount> fields{};
    QLineEdit* delimiter;
};
