#include "gui/settings/TabOptSec.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/settings/ArrowNumberField.h"

namespace {

ArrowNumberField* MakeSecondsField(QWidget* parent, const char* name, std::int32_t minimum, std::int32_t maximum,
                                   std::int32_t value)
{
    auto* field = new ArrowNumberField(minimum, maximum, parent);
    field->setObjectName(QString::fromLatin1(name));
    field->SetValue(value);
    field->setMinimumWidth(90);
    return field;
}

// A check box with its number of seconds on the row below, as a group of its own.
QGroupBox* MakeGroup(QWidget* parent, const ITextSource& texts, int title, QCheckBox* timed, ArrowNumberField* seconds,
                     QCheckBox* other)
{
    auto* group = new QGroupBox(QtText(texts, title), parent);
    auto* layout = new QGridLayout(group);
    layout->addWidget(timed, 0, 0, 1, 3);
    layout->addWidget(seconds, 1, 0);
    layout->addWidget(new QLabel(QtText(texts, TextId::Seconds), group), 1, 1);
    layout->setColumnStretch(2, 1);
    layout->addWidget(other, 2, 0, 1, 3);
    return group;
}
} // namespace

CTabOptSec::CTabOptSec(const COptions& options, const ITextSource& texts, QWidget* parent)
    : OptionsPage(parent)
    , clearClipboardTime(
          MakeCheckBox(this, texts, TextId::ClearClipboardAfter, "fClearClipboardTime", options.fClearClipboardTime))
    , clearClipboardSeconds(MakeSecondsField(this, "uClearClipboardTime", 5, 10000, options.uClearClipboardTime))
    , clearClipboardExit(
          MakeCheckBox(this, texts, TextId::ClearClipboardAtExit, "fClearClipboardExit", options.fClearClipboardExit))
    , lockDBAuto(MakeCheckBox(this, texts, TextId::LockAfterInactivity, "fLockDBAuto", options.fLockDBAuto))
    , lockDBSeconds(MakeSecondsField(this, "uLockDBAutoTime", 10, 99999, options.uLockDBAutoTime))
    , lockDBMin(MakeCheckBox(this, texts, TextId::LockWhenMinimizing, "fLockDBMin", options.fLockDBMin))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        MakeGroup(this, texts, TextId::Clipboard, clearClipboardTime, clearClipboardSeconds, clearClipboardExit));
    layout->addWidget(MakeGroup(this, texts, TextId::DatabaseGroup, lockDBAuto, lockDBSeconds, lockDBMin));
    layout->addStretch();
}

void CTabOptSec::Read(COptions& options) const
{
    options.fClearClipboardTime = clearClipboardTime->isChecked();
    options.uClearClipboardTime = clearClipboardSeconds->Value();
    options.fClearClipboardExit = clearClipboardExit->isChecked();
    options.fLockDBAuto = lockDBAuto->isChecked();
    options.uLockDBAutoTime = lockDBSeconds->Value();
    options.fLockDBMin = lockDBMin->isChecked();
}
