#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>

#include "core/importexport/OtherExport.h"
#include "core/session/EntryAccess.h"

class IFileChooser;
class ITextSource;
class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;

// Shows what an import of another password manager's CSV export would add before anything is added: the format
// recognised from the header (which the user may override), the first entries with their passwords masked, and how
// many entries there are, and how many of them the open database holds already. A refused file is explained in the
// dialog, so that another format or file can be tried.
class CDlgImportOther : public QDialog
{
    Q_OBJECT
public:
    // The files the choosers offer: CSV files first, every file as the alternative.
    static const QString FileFilter;
    static constexpr int PreviewRows = 5;

    // `into` reaches the database the entries are for; the dialog only reads it, on its file-work runner together
    // with the file, so that a large export does not hold up the window.
    CDlgImportOther(IEntryAccess& into, IFileChooser& files, std::filesystem::path path, QWidget* parent = nullptr);

    // The entries read with the chosen format, to be added by the caller after OK.
    OtherExport TakeEntries();
    // Whether entries the database holds already are to be left out; ticked at first.
    IdenticalEntries Identical() const;

    // Closes only while the file's entries are shown.
    void accept() override;

private:
    QLayout* CreateFileRow();
    void CreateFormatChoice();
    void CreatePages();
    void ReadFile();
    void Browse();
    // "Automatic" names the format it recognised while it is the choice.
    void NameRecognisedFormat(std::optional<ExportSource> source);
    void ShowEntries(const OtherExport& entries);
    void ShowCounts();
    void ShowRefusal(const std::u16string& message);

    IEntryAccess& into;
    const ITextSource& texts;
    IFileChooser& files;
    std::filesystem::path path;
    std::optional<OtherExport> read;
    QLineEdit* fileName;
    QComboBox* format;
    QStackedWidget* pages;
    QTableWidget* preview;
    QPlainTextEdit* refusal;
    QLabel* counts;
    QCheckBox* skipIdentical;
    std::size_t identicalCount = 0;
    QPushButton* ok = nullptr;
};
