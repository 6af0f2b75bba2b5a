#include "gui/mainwindow/WelcomePanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "gui/common/Icons.h"
#include "gui/common/QtText.h"

WelcomePanel::WelcomePanel(const ITextSource& texts, QWidget* parent)
    : QWidget(parent)
    , texts(texts)
    , greeting(new QLabel(this))
    , createButton(new QPushButton(ThemeIcon("document-new", "new"), QString(), this))
    , openButton(new QPushButton(ThemeIcon("document-open", "open"), QString(), this))
{
    setObjectName(QStringLiteral("welcomePanel"));
    greeting->setWordWrap(true);
    greeting->setAlignment(Qt::AlignCenter);
    greeting->setMaximumWidth(460);
    createButton->setObjectName(QStringLiteral("createDatabase"));
    openButton->setObjectName(QStringLiteral("openDatabase"));
    connect(createButton, &QPushButton::clicked, this, &WelcomePanel::createRequested);
    connect(openButton, &QPushButton::clicked, this, &WelcomePanel::openRequested);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(createButton);
    buttons->addWidget(openButton);
    buttons->addStretch();
    // Between stretches rather than aligned, so that the wrapped text gets the height its lines need.
    auto* text = new QHBoxLayout;
    text->addStretch();
    text->addWidget(greeting);
    text->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addLayout(text);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->addStretch();
    ApplyTexts();
}

void WelcomePanel::ApplyTexts()
{
    greeting->setText(QtText(texts, TextId::WelcomeText));
    createButton->setText(QtText(texts, TextId::CreateNewDatabase));
    openButton->setText(QtText(texts, TextId::OpenExistingDatabase));
}
