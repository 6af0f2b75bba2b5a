#pragma once

#include <QDialog>

// Tells the user that long file work is running: one line of text over a busy bar, without buttons. Stopping the
// work half-way could leave a file half written, so neither Escape nor the close button ends the dialog; its runner
// closes it once the work has ended.
class CDlgWorkProgress : public QDialog
{
    Q_OBJECT
public:
    explicit CDlgWorkProgress(const QString& text, QWidget* parent = nullptr);

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
};
