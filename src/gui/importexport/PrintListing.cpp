#include "gui/importexport/PrintListing.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <functional>

#include "core/importexport/PageSplit.h"
#include "core/importexport/TextExport.h"
#include "gui/importexport/PrintLayout.h"

namespace {
constexpr int FontPoints = 10;

// Abandons the document unless the page loop got to its end, so that nothing half printed reaches the printer.
class DocumentGuard
{
public:
    explicit DocumentGuard(std::function<void()> abandon)
        : abandon(std::move(abandon))
    {}
    ~DocumentGuard()
    {
        if (!finished && abandon) {
            abandon();
        }
    }
    DocumentGuard(const DocumentGuard&) = delete;
    DocumentGuard& operator=(const DocumentGuard&) = delete;

    void Finish() { finished = true; }

private:
    std::function<void()> abandon;
    bool finished = false;
};

bool DrawListing(QPagedPaintDevice& device, const CDataBase& database, const std::function<void()>& abandon)
{
    const SecureString listing = BuildTextListing(database);
    if (listing.empty()) {
        return true;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    DocumentGuard document(abandon);
    const int deviceHeight = device.height();
    PrintLayout layout(std::u16string_view(listing.data(), listing.size()), PrintFont(), device,
                       device.width() - 2 * PrintMargin);
    for (std::size_t start = 0; start < listing.size();) {
        if (start > 0 && !device.newPage()) {
            return false;
        }
        const std::size_t share = NextPageShare(start, listing.size() - start, deviceHeight, layout);
        layout.Draw(painter, QPoint(PrintMargin, PrintMargin), start, share);
        start += share;
    }
    document.Finish();
    return painter.end();
}
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
    printer.setDocName(QStringLiteral("Lockmere"));
    return DrawListing(printer, database, [&] { printer.abort(); });
}

bool PrintListing(QPdfWriter& writer, const CDataBase& database)
{
    writer.setTitle(QStringLiteral("Lockmere"));
    return DrawListing(writer, database, {});
}
