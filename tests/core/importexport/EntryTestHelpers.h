#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/Utf.h"
#include "core/database/DataBase.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

// Shows an entry's fields in failure messages.
inline void PrintTo(const Entry& entry, std::ostream* out)
{
    *out << '(';
    for (int field = 0; field < EntryFieldCount; ++field) {
        *out << (field > 0 ? ", " : "") << '"' << SecureToUtf8(FieldOf(entry, static_cast<EntryField>(field))) << '"';
    }
    *out << ')';
}

// A collection with recorded messages and built-in texts, and a folder for the files under test.
class ImportExportTest : public testing::Test
{
protected:
    static Entry MakeEntry(std::u16string_view group, std::u16string_view title, std::u16string_view username = u"",
                           std::u16string_view password = u"", std::u16string_view url = u"",
                           std::u16string_view notes = u"")
    {
        return Entry(ToSecure(group), ToSecure(title), ToSecure(username), ToSecure(password), ToSecure(url),
                     ToSecure(notes));
    }

    void AddEntry(const Entry& entry) { ASSERT_TRUE(database.Add(entry.Key(), entry.Fields())); }

    std::vector<Entry> Entries() const
    {
        std::vector<Entry> entries;
        for (const auto& item : database) {
            entries.push_back(ToEntry(item));
        }
        return entries;
    }

    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database{recorder, texts};
    TempDir folder;
};
