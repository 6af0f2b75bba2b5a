#include "gui/settings/DlgOptions.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "gui/common/QtText.h"
#include "gui/settings/TabOptFF.h"
#include "gui/settings/TabOptGen.h"
#include "gui/settings/TabOptPG.h"
#include "gui/settings/TabOptPV.h"
#include "gui/settings/TabOptSec.h"
#include "gui/settings/TabOptView.h"

namespace {
constexpr int OptionsTitle = 13;
} // namespace

CDlgOptions::CDlgOptions(COptions& options, CTranslate& translation, IMessageReporter& reporter, QWidget* parent)
    : QDialog(parent)
    , options(options)
    , translation(translation)
    , tabs(new QTabWidget(this))
{
    setWindowTitle(QtText(translation, OptionsTitle));
    tabs->setObjectName(QStringLiteral("tabs"));
    // Every page's caption in sight: the dialog grows to the tabs' width rather than scrolling them.
    tabs->setUsesScrollButtons(false);
    const std::pair<OptionsPage*, int> tabPages[] = {
        {new CTabOptGen(options, translation, tabs), 80}, {new CTabOptView(options, translation, tabs), 100},
        {new CTabOptSec(options, translation, tabs), 60}, {new CTabOptPG(options, translation, tabs), 50},
        {new CTabOptFF(options, translation, tabs), 70},  {new CTabOptPV(options, translation, reporter, tabs), 87},
    };
    for (const auto& [page, caption] : tabPages) {
        tabs->addTab(page, QtText(translation, caption));
        pages.push_back(page);
    }
    tabs->setCurrentIndex(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QtText(translation, TextId::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgOptions::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgOptions::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlgOptions::accept()
{
    for (const OptionsPage* page : pages) {
        page->Read(options);
    }
    translation.Load(options.Language);
    QDialog::accept();
}
