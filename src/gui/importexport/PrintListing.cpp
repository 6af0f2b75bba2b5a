#include "gui/importexport/PrintListing.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>

#include "core/importexport/PageSplit.h"
#include "core/importexport/TextExport.h"
#include "gui/importexport/PrintLayout.h"

namespace {
constexpr int FontPoints = 10;

// Aborts the document unless the page loop got to its end, so that nothing half printed reaches the printer.
class DocumentGuard
{
public:
    explicit DocumentGuard(QPrinter& printer)
        : printer(printer)
    {}
    ~DocumentGuard()
    {
        if (!finished) {
            printer.abort();
        }
    }
    DocumentGuard(const DocumentGuard&) = delete;
    DocumentGuard& operator=(const DocumentGuard&) = delete;

    void Finish() { finished = true; }

private:
    QPrinter& printer;
    bool finished = false;
};
} // namespace

QFont PrintFont()
{
    const QString preferred = QStringLiteral("MS Sans Serif");
    QFont font(QFontDatabase::hasFamily(preferred) ? preferred : QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(FontPoints);
    font.setWeight(QFont::Normal);
    return font;
}

bool PrintListing(QPrinter& printer, const CDataBase& database)
{
    const SecureString listing = BuildTextListing(database);
    if (listing.empty()) {
        return true;
    }
    printer.setDocName(QStringLiteral("Lockmere"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    DocumentGuard document(printer);
    const int deviceHeight = printer.height();
    PrintLayout layout(std::u16string_view(listing.data(), listing.size()), PrintFont(), printer,
                       printer.width() - 2 * PrintMargin);
    for (std::size_t start = 0; start < listing.size();) {
        if (start > 0 && !printer.newPage()) {
            return false;
        }
        const std::size_t share = NextPageShare(start, listing.size() - start, deviceHeight, layout);
        layout.Draw(painter, QPoint(PrintMargin, PrintMargin), start, share);
        start += share;
    }
    document.Finish();
    return painter.end();
}
