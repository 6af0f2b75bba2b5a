#include "cli/EntryListing.h"

#include "cli/CliDatabase.h"

void WriteEntryListing(CliContext& context, const std::filesystem::path& path,
                       const std::function<bool(const EntryKey&, const EntryFields&)>& listed)
{
    CCliDatabase database(context, path);
    database.Open(false);
    for (const auto& [key, fields] : database.Entries()) {
        if (listed(key, fields)) {
            context.output.Write(ListingLine(key));
        }
    }
}
