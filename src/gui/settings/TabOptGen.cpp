#include "gui/settings/TabOptGen.h"

#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"

CTabOptGen::CTabOptGen(const COptions& options, const ITextSource& texts, QWidget* parent)
    : OptionsPage(parent)
    , autoRun(MakeCheckBox(this, texts, TextId::StartAtLogin, "fAutoRun", options.fAutoRun))
    , autoRunHide(MakeCheckBox(this, texts, TextId::MinimizeAtLogin, "fAutoRunHide", options.fAutoRunHide))
    , closeHide(MakeCheckBox(this, texts, TextId::CloseButtonMinimizes, "fCloseHide", options.fCloseHide))
    , lastDB(MakeCheckBox(this, texts, TextId::OpenLastDatabase, "fLastDB", options.fLastDB))
    , requestDelete(MakeCheckBox(this, texts, TextId::ConfirmDeletion, "fRequestDelete", options.fRequestDelete))
{
    // Starting hidden only means something when the program starts at log-in; the mark is kept either way.
    autoRunHide->setEnabled(options.fAutoRun);
    connect(autoRun, &QCheckBox::clicked, autoRunHide, [this] { autoRunHide->setEnabled(autoRun->isChecked()); });

    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* box : {autoRun, autoRunHide, closeHide, lastDB, requestDelete}) {
        layout->addWidget(box);
    }
    layout->addStretch();
}

void CTabOptGen::Read(COptions& options) const
{
    options.fAutoRun = autoRun->isChecked();
    options.fAutoRunHide = autoRunHide->isChecked();
    options.fCloseHide = closeHide->isChecked();
    options.fLastDB = lastDB->isChecked();
    options.fRequestDelete = requestDelete->isChecked();
}
