#include "core/database/DamagedOriginal.h"

#include <cstdint>
#include <string>

#include "core/common/AtomicFile.h"
#include "core/common/Utf.h"
#include "core/common/WholeFileReader.h"
#include "core/settings/BuiltinTexts.h"

namespace {
constexpr char DamagedSuffix[] = ".damaged";
constexpr std::uint64_t MaximumFileBytes = 4294967296ULL;
} // namespace

std::filesystem::path DamagedOriginal::FreeName(const std::filesystem::path& original)
{
    const std::string base = original.string() + DamagedSuffix;
    std::filesystem::path candidate = base;
    std::error_code error;
    for (std::uint64_t number = 1;
         std::filesystem::symlink_status(candidate, error).type() != std::filesystem::file_type::not_found; ++number) {
        candidate = base + std::to_string(number);
    }
    return candidate;
}

void DamagedOriginal::Opened(const CDataBase& database, const std::filesystem::path& opened, const RecordsRead& read)
{
    path.reset();
    if (!read.damaged) {
        return;
    }
    path = opened;
    const ITextSource& texts = database.Texts();
    database.Reporter().ShowMessage(texts.Text(TextId::DamagedFileEntriesRead) + u" " + ToU16(read.records) + u"\n" +
                                        texts.Text(TextId::DamagedFileKeptAs) + u" " +
                                        Utf8ToUtf16(FreeName(opened).string()),
                                    MessageIcon::Warning);
}

void DamagedOriginal::KeepBeforeReplacing(const ITextSource& texts)
{
    if (!path) {
        return;
    }
    try {
        const SecureBytes original = ReadWholeFile(*path, MaximumFileBytes);
        // The check refuses a name taken meanwhile, so that no other file is ever replaced by the copy.
        const auto nameStillFree = [](const struct stat* existing) {
            if (existing != nullptr) {
                throw FileWriteError("the name for the damaged original was taken");
            }
        };
        WriteFileAtomically(FreeName(*path), original, {nameStillFree});
    } catch (...) {
        throw TargetCheckFailed(texts.Text(TextId::DamagedFileNotKept));
    }
    path.reset();
}
