#pragma once

#include <QDialog>
#include <filesystem>

#include "core/common/SecureString.h"
#include "core/common/TextSource.h"
#include "core/session/IPrompts.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class LayoutIndicator;

// Asks once for an existing password: to open or unlock a database, the old one before a change, or the one of a
// database to merge; it names the database file, so that the user knows which password to type. Checks nothing; the
// caller decides what the typed text opens.
class CDlgEnter : public QDialog
{
    Q_OBJECT
public:
    // `file` is the database the password is for; the dialog names it, with the whole path as its tool tip.
    CDlgEnter(EnterMode mode, const ITextSource& texts, QWidget* parent = nullptr,
              const std::filesystem::path& file = {});

    // The typed text, valid after OK.
    const SecureString& Password() const { return password; }
    ~CDlgEnter() override { WipeString(password); }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    SecureString password;
    QLineEdit* field;
    QCheckBox* hideBox;
};
