#include <gtest/gtest.h>

#include <vector>

#include "core/database/RecordReader.h"

namespace {
struct Reading
{
    std::vector<Entry> entries;
    std::size_t records = 0;
    bool damaged = false;

    friend bool operator==(const Reading&, const Reading&) = default;
};

// Reads the text as it would arrive in pieces of `piece` units; 0 gives it all at once.
Reading ReadInPieces(std::u16string_view text, std::size_t piece)
{
    Reading reading;
    RecordReader reader([&](Entry& entry) { reading.entries.push_back(entry); });
    for (std::size_t known = piece; piece > 0 && known < text.size(); known += piece) {
        reader.Read(text.substr(0, known));
    }
    const RecordsRead read = reader.Finish(text);
    reading.records = read.records;
    reading.damaged = read.damaged;
    return reading;
}

// However the text arrives, in pieces that split terminators, fields and records anywhere, the reader finds the same
// records and the same damage as in the whole text.
TEST(RecordReaderTest, TextArrivingInPiecesGivesWhatTheWholeTextGives)
{
    const std::u16string record = u"G\a\1\5T\a\1\5user\a\1\5\a\1\5http://x\a\1\5n\a\1x\5\a\1\5";
    struct Case
    {
        std::u16string text;
        std::size_t records;
        bool damaged;
    } cases[] = {
        {u"", 0, false},
        {record, 1, false},
        {record + record + record, 3, false},
        {record + u"G\a\1\5half", 1, true},
        {record + std::u16string(1, u'\0') + record, 1, true},
        {std::u16string(1, u'\0') + record, 0, true},
        {record + u"\a\1", 1, true},
    };
    for (const Case& test : cases) {
        const Reading whole = ReadInPieces(test.text, 0);
        EXPECT_EQ(whole.records, test.records) << whole.entries.size();
        EXPECT_EQ(whole.damaged, test.damaged);
        EXPECT_EQ(whole.entries.size(), test.records);
        for (std::size_t piece = 1; piece <= 9; ++piece) {
            EXPECT_EQ(ReadInPieces(test.text, piece), whole) << "pieces of " << piece;
        }
    }
    EXPECT_EQ(ReadInPieces(record, 0).entries.front().notes, ToSecure(u"n\a\1x\5"));
}
} // namespace
