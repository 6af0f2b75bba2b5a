#pragma once

#include <QCheckBox>
#include <QWidget>

#include "core/common/TextSource.h"
#include "gui/common/QtText.h"

class COptions;

// One page of the options dialog: filled from the settings when it is made, read back into them on OK.
class OptionsPage : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void Read(COptions& options) const = 0;
};

// A check box with its translated caption, checked as the setting is, found by tests under its setting's name.
inline QCheckBox* MakeCheckBox(QWidget* parent, const ITextSource& texts, int textId, const char* name, bool checked)
{
    auto* box = new QCheckBox(QtText(texts, textId), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}
