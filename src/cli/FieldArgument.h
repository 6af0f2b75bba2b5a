#pragma once

#include <string_view>

#include "core/database/Entry.h"

// The names by which the command line gives an entry's fields, in the fixed field order.
inline constexpr std::u16string_view FieldArgumentNames[EntryFieldCount] = {u"group",    u"title", u"username",
                                                                            u"password", u"url",   u"notes"};

// The field with that name; throws UsageError naming `what` for any other name.
EntryField FieldArgument(std::u16string_view name, std::string_view what);
