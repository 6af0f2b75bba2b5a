#pragma once

#include <QDialog>
#include <filesystem>

#include "core/importexport/kdbx/KdbxXmlImport.h"

class ITextSource;

// Shows what the import of a KeePassXC database would add before anything is added: its first entries with the
// passwords masked, how many entries there are, and how many history entries, recycle-bin entries and attachments
// will not be imported.
class CDlgImportKdbx : public QDialog
{
    Q_OBJECT
public:
    static constexpr int PreviewRows = 5;

    CDlgImportKdbx(const ITextSource& texts, const std::filesystem::path& path, const KdbxImport& read,
                   QWidget* parent = nullptr);
};
