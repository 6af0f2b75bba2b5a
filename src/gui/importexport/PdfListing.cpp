#include "gui/importexport/PdfListing.h"

#include <QIODevice>
#include <QPageLayout>
#include <QPdfWriter>

#include "core/common/AtomicFile.h"
#include "gui/importexport/PrintListing.h"

namespace {
constexpr mode_t OwnerOnly = 0600;

// Collects what the PDF writer writes in storage that is wiped when it grows or goes, since every page of the
// document holds entries in clear.
class SecureByteDevice : public QIODevice
{
public:
    explicit SecureByteDevice(SecureBytes& bytes)
        : bytes(bytes)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const auto* first = reinterpret_cast<const unsigned char*>(data);
        bytes.insert(bytes.end(), first, first + size);
        return size;
    }

private:
    SecureBytes& bytes;
};
} // namespace

std::optional<SecureBytes> RenderPdfListing(const CDataBase& database, const QPageLayout& page, int resolution)
{
    SecureBytes document;
    {
        SecureByteDevice device(document);
        QPdfWriter writer(&device);
        writer.setPageLayout(page);
        writer.setResolution(resolution);
        writer.setCreator(QStringLiteral("Lockmere"));
        if (!PrintListing(writer, database)) {
            return std::nullopt;
        }
    }
    return document;
}

void WritePdfListing(const std::filesystem::path& file, const SecureBytes& document)
{
    WriteFileAtomically(file, document, FileReplacement({}, FileSystemCalls::System(), OwnerOnly));
}
