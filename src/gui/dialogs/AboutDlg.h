#pragma once

#include <QDialog>
#include <string>

#include "core/common/TextSource.h"

// The program's name, icon and version, and a link to the vendor's web site in the user's language.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    CAboutDlg(const ITextSource& texts, const std::u16string& language, QWidget* parent = nullptr);

    // The address the link opens.
    const QString& LinkAddress() const { return address; }

private:
    QString address;
};
