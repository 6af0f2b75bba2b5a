#include "cli/KdbxExport.h"

#include <chrono>

#include "cli/CliCommand.h"
#include "cli/ExportTarget.h"
#include "cli/NewPassword.h"
#include "core/common/Utf.h"
#include "core/importexport/kdbx/KdbxWriter.h"
#include "core/passgen/RandomSource.h"
#include "core/settings/BuiltinTexts.h"

void WriteKdbxExport(CliContext& context, const CDataBase& entries, const std::filesystem::path& database,
                     const std::filesystem::path& target)
{
    NewPasswordRequest request;
    request.mode = NewPasswordMode::ExportFile;
    request.database = target;
    request.allowEmpty = true;
    KdbxCredentials credentials;
    credentials.password = AskNewPassword(context, request);
    if (credentials.password.empty()) {
        throw CliFailure(Utf16ToUtf8(context.texts.Text(TextId::KdbxNeedsPassword)));
    }
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    // The caller has refused entries UTF-8 cannot hold before the first password was asked for.
    const SecureBytes file =
        WriteKdbx(entries, Utf8ToUtf16(database.stem().string()), credentials, {}, OsRandom(), now);
    WriteExportTarget(context, target, file);
}
