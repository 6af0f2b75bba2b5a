#include "gui/dialogs/DlgWorkProgress.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {
constexpr int BarWidth = 320;
} // namespace

CDlgWorkProgress::CDlgWorkProgress(const QString& text, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("workProgress"));
    setWindowTitle(QStringLiteral("Lockmere"));
    setWindowModality(Qt::ApplicationModal);
    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("workText"));
    auto* bar = new QProgressBar(this);
    // The work does not know how far it has come: the bar only shows that it goes on.
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    bar->setMinimumWidth(BarWidth);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(bar);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlgWorkProgress::reject() {}

void CDlgWorkProgress::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
