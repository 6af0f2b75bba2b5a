#include "gui/settings/TabOptFF.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "core/settings/WebLinks.h"

namespace {
QGroupBox* MakeGroup(QWidget* parent, const ITextSource& texts, int title, QCheckBox* first, QCheckBox* second)
{
    auto* group = new QGroupBox(QtText(texts, title), parent);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(first);
    layout->addWidget(second);
    return group;
}
} // namespace

CTabOptFF::CTabOptFF(const COptions& options, const ITextSource& texts, QWidget* parent)
    : OptionsPage(parent)
    , language(options.Language)
    , pasteMenuEdit(MakeCheckBox(this, texts, TextId::PasteFromEditMenu, "fPasteMenuEdit", options.fPasteMenuEdit))
    , pasteMenuTray(MakeCheckBox(this, texts, TextId::PasteFromTrayMenu, "fPasteMenuTray", options.fPasteMenuTray))
    , autoLoginMenuEdit(
          MakeCheckBox(this, texts, TextId::AutoLoginFromEditMenu, "fAutoLoginMenuEdit", options.fAutoLoginMenuEdit))
    , autoLoginMenuTray(
          MakeCheckBox(this, texts, TextId::AutoLoginFromTrayMenu, "fAutoLoginMenuTray", options.fAutoLoginMenuTray))
    , groupEntriesTray(
          MakeCheckBox(this, texts, TextId::GroupEntriesInTray, "fGroupEntriesTray", options.fGroupEntriesTray))
{
    // Grouping concerns the tray menu's entries only, which exist while one of its two items is offered.
    EnableGrouping();
    connect(pasteMenuTray, &QCheckBox::clicked, this, &CTabOptFF::EnableGrouping);
    connect(autoLoginMenuTray, &QCheckBox::clicked, this, &CTabOptFF::EnableGrouping);

    auto* help = new QPushButton(QtText(texts, TextId::HelpMenu), this);
    help->setObjectName(QStringLiteral("help"));
    connect(help, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl(ToQString(FormFillingHelpAddress(language)))); });
    auto* helpRow = new QHBoxLayout;
    auto* advice = new QLabel(QtText(texts, TextId::ReadTheHelp), this);
    advice->setWordWrap(true);
    helpRow->addWidget(advice, 1);
    helpRow->addWidget(help);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeGroup(this, texts, TextId::Paste, pasteMenuEdit, pasteMenuTray));
    layout->addWidget(MakeGroup(this, texts, TextId::AutoLogin, autoLoginMenuEdit, autoLoginMenuTray));
    layout->addWidget(groupEntriesTray);
    layout->addLayout(helpRow);
    layout->addStretch();
}

void CTabOptFF::EnableGrouping()
{
    groupEntriesTray->setEnabled(pasteMenuTray->isChecked() || autoLoginMenuTray->isChecked());
}

void CTabOptFF::Read(COptions& options) const
{
    options.fPasteMenuEdit = pasteMenuEdit->isChecked();
    options.fPasteMenuTray = pasteMenuTray->isChecked();
    options.fAutoLoginMenuEdit = autoLoginMenuEdit->isChecked();
    options.fAutoLoginMenuTray = autoLoginMenuTray->isChecked();
    options.fGroupEntriesTray = groupEntriesTray->isChecked();
}
