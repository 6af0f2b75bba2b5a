#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

class QWidget;

// Asks the user for a file. Every optional is empty when the user cancelled.
class IFileChooser
{
public:
    virtual ~IFileChooser() = default;
    // `filter` holds the patterns to offer, separated by "; " ("*.csv; *.txt"); empty offers every file. Several
    // filters to choose from are separated by ";;" ("*.csv;;*"), the first one chosen at the start.
    virtual std::optional<std::filesystem::path> ChooseFileToOpen(const QString& filter) = 0;
    // Proposes a file name without a folder; asks before overwriting an existing file.
    virtual std::optional<std::filesystem::path> ChooseFileToSave(const QString& proposedName) = 0;
};

// The program's file chooser: Qt's own dialog, so that it looks and behaves the same on every desktop. It starts in
// the folder of the open database, or of the last database when none is open, rather than in whatever folder the
// program was started from.
class CFileChooser : public IFileChooser
{
public:
    // `lastPath` is the setting that names the open database; empty while none is open.
    CFileChooser(QWidget& parent, const std::u16string& lastPath);

    std::optional<std::filesystem::path> ChooseFileToOpen(const QString& filter) override;
    std::optional<std::filesystem::path> ChooseFileToSave(const QString& proposedName) override;

    // The folder the next chooser starts in; empty when no database has been named yet.
    QString StartFolder();

private:
    QWidget& parent;
    const std::u16string& lastPath;
    QString lastFolder;
};
