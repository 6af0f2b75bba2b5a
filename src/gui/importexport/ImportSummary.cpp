#include "gui/importexport/ImportSummary.h"

#include "core/settings/BuiltinTexts.h"
#include "gui/common/QtText.h"

void ShowImportSummary(IMessageReporter& reporter, const ITextSource& texts, const ImportCounts& counts)
{
    const QString summary =
        QtText(texts, TextId::OtherImportSummary).arg(counts.added).arg(counts.renamed).arg(counts.skipped);
    reporter.ShowMessage(summary.toStdU16String(), MessageIcon::Information);
}
