#include "cli/EntryListing.h"

#include "cli/CliDatabase.h"

namespace {
// Lines go out in blocks of about this size: a write for each line costs more than the listing itself at a million
// entries.
constexpr std::size_t ListingBlockBytes = std::size_t{64} << 10;
} // namespace

void WriteEntryListing(CliContext& context, const std::filesystem::path& path,
                       const std::function<bool(const EntryKey&, const EntryFields&)>& listed)
{
    CCliDatabase database(context, path);
    database.Open(false);
    SecureUtf8 block;
    for (const auto& [key, fields] : database.Entries()) {
        if (listed(key, fields)) {
            block += ListingLine(key);
            if (block.size() >= ListingBlockBytes) {
                context.output.Write(block);
                block.clear();
            }
        }
    }
    context.output.Write(block);
}
