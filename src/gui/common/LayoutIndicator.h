#pragma once

#include <QLabel>
#include <QTimer>

// Shows the short name of the active keyboard layout beside a password field or in the status bar, refreshed
// twice a second so that a switch of layout shows at once. Keeps its text when the layout cannot be told.
class LayoutIndicator : public QLabel
{
    Q_OBJECT
public:
    explicit LayoutIndicator(QWidget* parent = nullptr);

    void Refresh();
    // The refresh period in milliseconds.
    int Period() const { return timer.interval(); }

private:
    QTimer timer;
};
