#pragma once

#include <QDialog>

#include "core/common/TextSource.h"

class QCheckBox;

// Advice shown before an action, with a box to stop it from appearing again. `showTip` is the tip's setting
// (fTip0 or fTip1): when it is off the dialog is never shown.
class CDlgTip : public QDialog
{
    Q_OBJECT
public:
    CDlgTip(bool& showTip, int textId, const ITextSource& texts, QWidget* parent = nullptr);

    // Rejected at once, without showing anything, when the tip is switched off.
    int exec() override;
    void accept() override;

    // Height of the strip at the bottom that keeps the normal window colour.
    static constexpr int StripHeight = 46;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool& showTip;
    QCheckBox* neverAgain;
};
