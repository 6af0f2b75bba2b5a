#pragma once

#include <gtest/gtest.h>

#include <new>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/Utf.h"
#include "core/database/DataBase.h"
#include "support/EntryBuilder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

// A failure that no handler expects by its type.
struct UnexpectedFailure
{};

// English texts, except that asking for one id fails with the given exception: makes an operation fail midway.
template <class Failure> class FailingTextSource : public ITextSource
{
public:
    explicit FailingTextSource(int failingId)
        : failingId(failingId)
    {}
    const std::u16string& Text(int id) const override
    {
        if (id == failingId) {
            throw Failure();
        }
        return english.Text(id);
    }

private:
    int failingId;
    BuiltinTextSource english;
};

// A collection with recorded messages and built-in texts, and a folder for the files under test.
class ImportExportTest : public testing::Test
{
protected:
    void AddEntry(const Entry& entry) { ASSERT_TRUE(database.Add(entry.Key(), entry.Fields())); }

    std::vector<Entry> Entries() const { return EntriesOf(database); }

    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database{recorder, texts};
    TempDir folder;
};
