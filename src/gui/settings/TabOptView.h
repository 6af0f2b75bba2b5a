#pragma once

#include "core/settings/Translate.h"
#include "gui/settings/OptionsPage.h"

class QComboBox;
class QTreeWidget;

// View: the language, always on top, masking, the group tree and the list's columns.
class CTabOptView : public OptionsPage
{
    Q_OBJECT
public:
    CTabOptView(const COptions& options, const CTranslate& translation, QWidget* parent = nullptr);
    void Read(COptions& options) const override;

private:
    const CTranslate& translation;
    QComboBox* language;
    QCheckBox* top;
    QCheckBox* hideUser;
    QCheckBox* hidePass;
    QCheckBox* groupsTree;
    QTreeWidget* columns;
};
