#include "gui/dialogs/AboutDlg.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/WebLinks.h"
#include "gui/common/Icons.h"
#include "gui/common/QtText.h"

namespace {
const QString LinkText = QStringLiteral("www.tavilo.com");
} // namespace

CAboutDlg::CAboutDlg(const ITextSource& texts, const std::u16string& language, QWidget* parent)
    : QDialog(parent)
    , address(ToQString(VendorPageAddress(language)))
{
    setWindowTitle(QtText(texts, TextId::AboutCaption));

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("Lockmere"), this);
    name->setObjectName(QStringLiteral("programName"));
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    name->setFont(bold);

    auto* version = new QLabel(QtText(texts, TextId::Version), this);
    version->setObjectName(QStringLiteral("version"));

    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(address.toHtmlEscaped(), LinkText), this);
    link->setObjectName(QStringLiteral("link"));
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    link->setOpenExternalLinks(false);
    connect(link, &QLabel::linkActivated, this, [this] { QDesktopServices::openUrl(QUrl(address)); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CAboutDlg::accept);

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(20);
    layout->setVerticalSpacing(6);
    layout->setContentsMargins(24, 20, 24, 14);
    layout->setColumnMinimumWidth(1, 200);
    layout->setRowMinimumHeight(3, 44);
    layout->addWidget(icon, 0, 0, 3, 1);
    layout->addWidget(name, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(link, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2, Qt::AlignBottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
