#pragma once

#include <filesystem>
#include <functional>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"

// The commands that pour another database file into DB (merge, sync): DB OTHER on the command line, OTHER checked,
// DB opened for a change, then the password of OTHER read after `explanation`.
class OtherFileCommand
{
public:
    OtherFileCommand(CliContext& context, const CArguments& parsed, int explanation);

    // Pours OTHER into DB with `read`, which gives the reader's result, and saves. Fails the command as the read
    // failed (exit code 3 for a wrong password of OTHER).
    void Pour(const std::function<int(CDataBase&, const std::filesystem::path&, const SecureString&)>& read);

    const std::filesystem::path& Other() const { return other; }
    CCliDatabase& Database() { return database; }

private:
    std::filesystem::path other;
    CCliDatabase database;
    SecureString otherPassword;
};
