#pragma once

#include "gui/settings/OptionsPage.h"

// General: start at log-in, closing, reopening the last database, confirming deletes.
class CTabOptGen : public OptionsPage
{
    Q_OBJECT
public:
    CTabOptGen(const COptions& options, const ITextSource& texts, QWidget* parent = nullptr);
    void Read(COptions& options) const override;

private:
    QCheckBox* autoRun;
    QCheckBox* autoRunHide;
    QCheckBox* closeHide;
    QCheckBox* lastDB;
    QCheckBox* requestDelete;
};
