#include "cli/CliPrompts.h"

#include "cli/Prompts.h"
#include "core/settings/BuiltinTexts.h"

CCliPrompts::CCliPrompts(CliContext& context, std::filesystem::path database)
    : context(context)
    , database(std::move(database))
{}

std::optional<SecureString> CCliPrompts::AskPassword(EnterMode mode, const std::filesystem::path&)
{
    if (mode != EnterMode::Open) {
        return std::nullopt;
    }
    if (asked) {
        refused = true;
        return std::nullopt;
    }
    asked = true;
    try {
        return context.passwords.Read(PromptFor(context.texts, TextId::MasterPasswordFor, database));
    } catch (...) {
        // Thrown through the session, it would leave the session between states.
        readFailure = std::current_exception();
        return std::nullopt;
    }
}

void CCliPrompts::RethrowReadFailure() const
{
    if (readFailure) {
        std::rethrow_exception(readFailure);
    }
}
