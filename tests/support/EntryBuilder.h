#pragma once

#include <ostream>
#include <string_view>
#include <vector>

#include "core/database/DataBase.h"
#include "core/database/Entry.h"

// An entry from its six fields; the fields not given are empty.
Entry MakeEntry(std::u16string_view group, std::u16string_view title, std::u16string_view username = u"",
                std::u16string_view password = u"", std::u16string_view url = u"", std::u16string_view notes = u"");

// The collection's entries in key order.
std::vector<Entry> EntriesOf(const CDataBase& database);

// Shows an entry's fields in failure messages.
void PrintTo(const Entry& entry, std::ostream* out);
