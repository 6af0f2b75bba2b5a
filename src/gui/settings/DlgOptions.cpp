#include "gui/settings/DlgOptions.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "gui/app/Language.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/DialogButtons.h"
#include "gui/settings/TabOptFF.h"
#include "gui/settings/TabOptGen.h"
#include "gui/settings/TabOptPG.h"
#include "gui/settings/TabOptPV.h"
#include "gui/settings/TabOptSec.h"
#include "gui/settings/TabOptView.h"

CDlgOptions::CDlgOptions(COptions& options, CTranslate& translation, IMessageReporter& reporter, QWidget* parent)
    : QDialog(parent)
    , options(options)
    , translation(translation)
    , tabs(new QTabWidget(this))
{
    setWindowTitle(QtText(translation, TextId::OptionsMenu));
    tabs->setObjectName(QStringLiteral("tabs"));
    // Every page's caption in sight: the dialog grows to the tabs' width rather than scrolling them.
    tabs->setUsesScrollButtons(false);
    const std::pair<OptionsPage*, int> tabPages[] = {
        {new CTabOptGen(options, translation, tabs), TextId::GeneralTab},
        {new CTabOptView(options, translation, tabs), TextId::ViewMenu},
        {new CTabOptSec(options, translation, tabs), TextId::Security},
        {new CTabOptPG(options, translation, tabs), TextId::PasswordGenerator},
        {new CTabOptFF(options, translation, tabs), TextId::FormFilling},
        {new CTabOptPV(options, translation, reporter, tabs), TextId::PortableVersion},
    };
    for (const auto& [page, caption] : tabPages) {
        tabs->addTab(page, QtText(translation, caption));
        pages.push_back(page);
    }
    tabs->setCurrentIndex(0);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(OkCancelButtons(*this, translation));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlgOptions::accept()
{
    for (const OptionsPage* page : pages) {
        page->Read(options);
    }
    LoadLanguage(translation, options.Language);
    QDialog::accept();
}
