#include "cli/NewPassword.h"

#include "cli/CliCommand.h"
#include "cli/Prompts.h"
#include "core/health/OfflineAttack.h"
#include "core/settings/BuiltinTexts.h"

namespace {
constexpr int Tries = 3;

void ExplainMasterPassword(CliContext& context, NewPasswordMode mode)
{
    if (mode == NewPasswordMode::NewDatabase) {
        context.passwords.Explain(context.texts.Text(TextId::SpecifyCompositeMasterPassword));
    } else if (mode == NewPasswordMode::ChangeMaster) {
        context.passwords.Explain(context.texts.Text(TextId::SpecifyNewMasterPassword));
    } else if (mode == NewPasswordMode::ExportFile) {
        context.passwords.Explain(context.texts.Text(TextId::SpecifyKdbxPassword));
    }
}

// Throws unless an empty master password is wanted: asked at a terminal, given by --allow-empty otherwise.
void RequireEmptyMasterWanted(CliContext& context, const NewPasswordRequest& request)
{
    if (request.allowEmpty) {
        return;
    }
    if (!context.passwords.IsTerminal()) {
        throw CliFailure("The new master password is empty; give --allow-empty to use an empty master password.");
    }
    if (!context.passwords.Confirm(context.texts.Text(TextId::ConfirmEmptyMasterPassword))) {
        throw CliFailure("Nothing was changed: the new master password was empty.");
    }
}

// The file's key is a single MD5 of the master password: a password that falls to an offline attack in less than a
// century is said so where it is chosen.
void WarnOfWeakMaster(CliContext& context, const SecureString& password)
{
    const MasterPasswordAssessment assessment = AssessMasterPassword(password, context.texts);
    if (assessment.weak) {
        context.reporter.ShowMessage(assessment.estimate + u" " + context.texts.Text(TextId::WeakMasterPasswordWarning),
                                     MessageIcon::Warning);
    }
}

std::u16string PromptOf(const ITextSource& texts, const NewPasswordRequest& request)
{
    switch (request.mode) {
    case NewPasswordMode::EntryPassword:
        return texts.Text(TextId::NewEntryPasswordPrompt);
    case NewPasswordMode::EntryChange:
        return texts.Text(TextId::ChangedEntryPasswordPrompt);
    case NewPasswordMode::ExportFile:
        return PromptFor(texts, TextId::NewKdbxPasswordFor, request.database);
    default:
        return PromptFor(texts, TextId::NewMasterPasswordFor, request.database);
    }
}
} // namespace

SecureString AskNewPassword(CliContext& context, const NewPasswordRequest& request)
{
    const ITextSource& texts = context.texts;
    const bool entry = request.mode == NewPasswordMode::EntryPassword || request.mode == NewPasswordMode::EntryChange;
    ExplainMasterPassword(context, request.mode);
    const std::u16string prompt = PromptOf(texts, request);
    const int tries = context.passwords.IsTerminal() ? Tries : 1;
    for (int attempt = 1;; ++attempt) {
        SecureString password = context.passwords.Read(prompt);
        const SecureString repeat = context.passwords.Read(texts.Text(TextId::RepeatLabel));
        if (password == repeat) {
            if (!entry && password.empty()) {
                RequireEmptyMasterWanted(context, request);
            }
            if (!entry) {
                WarnOfWeakMaster(context, password);
            }
            return password;
        }
        context.reporter.ShowMessage(texts.Text(entry ? TextId::EntryPasswordsDiffer : TextId::MasterPasswordsDiffer),
                                     MessageIcon::Error);
        if (attempt == tries) {
            throw CliFailure("");
        }
    }
}
