#include "cli/FieldArgument.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "cli/CliCommand.h"

EntryField FieldArgument(std::u16string_view name, std::string_view what)
{
    const auto found = std::find(std::begin(FieldArgumentNames), std::end(FieldArgumentNames), name);
    if (found == std::end(FieldArgumentNames)) {
        throw UsageError(std::string(what) + " takes group, title, username, password, url or notes");
    }
    return static_cast<EntryField>(found - std::begin(FieldArgumentNames));
}
