#pragma once

#include <QDialog>
#include <filesystem>

#include "core/importexport/kdbx/KdbxKey.h"

class IFileChooser;
class ITextSource;
class QLineEdit;

// Asks for the password of a KeePassXC database: to open one, the password and an optional key file; for a new one
// (the export), the password twice, closing with OK only when both are the same and not empty.
class CDlgKdbxPassword : public QDialog
{
    Q_OBJECT
public:
    enum class Mode
    {
        Open,
        New,
    };
    CDlgKdbxPassword(Mode mode, const ITextSource& texts, IFileChooser& files, const std::filesystem::path& file,
                     QWidget* parent = nullptr);
    ~CDlgKdbxPassword() override;

    // What the user gave, valid after OK.
    const KdbxCredentials& Credentials() const { return credentials; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AddKeyFileRow(class QGridLayout& grid);

    Mode mode;
    const ITextSource& texts;
    IFileChooser& files;
    KdbxCredentials credentials;
    QLineEdit* password;
    QLineEdit* repeat = nullptr;
    QLineEdit* keyFile = nullptr;
};
