#include "gui/settings/TabOptGen.h"

#include <QVBoxLayout>

#include "core/settings/Options.h"

CTabOptGen::CTabOptGen(const COptions& options, const ITextSource& texts, QWidget* parent)
    : OptionsPage(parent)
    , autoRun(MakeCheckBox(this, texts, 83, "fAutoRun", options.fAutoRun))
    , autoRunHide(MakeCheckBox(this, texts, 85, "fAutoRunHide", options.fAutoRunHide))
    , closeHide(MakeCheckBox(this, texts, 81, "fCloseHide", options.fCloseHide))
    , lastDB(MakeCheckBox(this, texts, 82, "fLastDB", options.fLastDB))
    , requestDelete(MakeCheckBox(this, texts, 84, "fRequestDelete", options.fRequestDelete))
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
