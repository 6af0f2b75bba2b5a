#pragma once

#include <QDialog>

#include "core/common/SecureString.h"
#include "core/common/TextSource.h"
#include "core/session/IPrompts.h"

class QLabel;
class QLineEdit;

// Asks for a new master password twice and closes with OK only when both are the same. While it is typed, says how
// long an offline attack on the file would take to find it, and warns when that is less than a century.
class CDlgSetPassword : public QDialog
{
    Q_OBJECT
public:
    CDlgSetPassword(SetPasswordMode mode, const ITextSource& texts, QWidget* parent = nullptr);
    ~CDlgSetPassword() override { WipeString(password); }

    // The new password, valid after OK.
    const SecureString& Password() const { return password; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowAttackEstimate();

    const ITextSource& texts;
    SecureString password;
    QLineEdit* field;
    QLineEdit* repeat;
    QLabel* attackEstimate;
    QLabel* attackWarning;
};
