#include "gui/dialogs/DlgTip.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "gui/common/QtText.h"

namespace {} // namespace

CDlgTip::CDlgTip(bool& showTip, int textId, const ITextSource& texts, QWidget* parent)
    : QDialog(parent)
    , showTip(showTip)
    , neverAgain(new QCheckBox(QtText(texts, TextId::NeverShowTipAgain), this))
{
    setWindowTitle(QtText(texts, TextId::TipCaption));

    auto* advice = new QLabel(QtText(texts, textId), this);
    advice->setObjectName(QStringLiteral("advice"));
    advice->setWordWrap(true);
    advice->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The label draws on the white area, so it must not paint the window colour behind itself.
    advice->setAutoFillBackground(false);
    QPalette onWhite = advice->palette();
    onWhite.setColor(QPalette::WindowText, Qt::black);
    advice->setPalette(onWhite);

    neverAgain->setObjectName(QStringLiteral("neverAgain"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDlgTip::accept);

    auto* strip = new QWidget(this);
    strip->setFixedHeight(StripHeight);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(12, 0, 12, 0);
    stripLayout->addWidget(neverAgain);
    stripLayout->addStretch(1);
    stripLayout->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* adviceArea = new QVBoxLayout;
    adviceArea->setContentsMargins(20, 20, 20, 20);
    adviceArea->addWidget(advice);
    layout->addLayout(adviceArea, 1);
    layout->addWidget(strip);
    setMinimumSize(420, 170);
}

int CDlgTip::exec()
{
    if (!showTip) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void CDlgTip::accept()
{
    if (neverAgain->isChecked()) {
        showTip = false;
    }
    QDialog::accept();
}

void CDlgTip::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), height() - StripHeight), Qt::white);
}
