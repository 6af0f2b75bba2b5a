#include "gui/importexport/ImportSummary.h"

#include "core/settings/BuiltinTexts.h"
#include "gui/common/QtText.h"

void ShowImportSummary(const CDataBase& database, const ImportCounts& counts)
{
    const QString summary =
        QtText(database.Texts(), TextId::OtherImportSummary).arg(counts.added).arg(counts.renamed).arg(counts.skipped);
    database.Reporter().ShowMessage(summary.toStdU16String(), MessageIcon::Information);
}
