#include "HandMadeTexts.h"

#include <algorithm>
#include <vector>

#include "support/HandMadeFile.h"

namespace {
using Record = std::pair<ExpectedEntries::Key, ExpectedEntries::Fields>;
constexpr std::size_t WholeBlocks = 16;

// Distinct keys, in key order.
std::vector<Record> RandomRecords(RandomEntries& random, std::size_t count)
{
    ExpectedEntries unique;
    while (unique.Size() < count) {
        unique.Add(random.Key(), random.Fields());
    }
    std::vector<Record> records;
    for (const Entry& entry : unique.Entries()) {
        records.push_back({ExpectedEntries::KeyOf(entry.Key()), ExpectedEntries::FieldsOf(entry.Fields())});
    }
    return records;
}

std::u16string TextOf(const std::vector<Record>& records)
{
    std::u16string text;
    for (const auto& [key, fields] : records) {
        text += RecordText(key, fields);
    }
    return text;
}

// Lengthens the last notes until the text fills whole cipher blocks.
void FillWholeBlocks(std::vector<Record>& records)
{
    while (TextOf(records).size() * 2 % WholeBlocks != 0) {
        records.back().second[3] += u'x';
    }
}

void Read(HandMadeText& made, const std::vector<Record>& records)
{
    for (const auto& [key, fields] : records) {
        made.read.Insert(key, fields);
    }
}

// Some records again, with other fields, each after its first.
std::vector<Record> WithDuplicates(RandomEntries& random, const std::vector<Record>& records)
{
    std::vector<Record> file = records;
    for (std::size_t count = 1 + random.Below(3); count > 0; --count) {
        const std::size_t original = random.Below(records.size());
        const auto first = std::find(file.begin(), file.end(), records[original]);
        const auto at =
            first + 1 + static_cast<std::ptrdiff_t>(random.Below(static_cast<std::size_t>(file.end() - first)));
        file.insert(at, Record{records[original].first, random.Fields()});
    }
    return file;
}

// Up to five whole fields and an unterminated one: never a whole record.
std::u16string DamagedRest(RandomEntries& random)
{
    std::u16string rest;
    for (std::size_t fields = random.Below(6); fields > 0; --fields) {
        rest += random.FieldText(5) + u"\a\1\5";
    }
    std::u16string unterminated = random.FieldText(5);
    while (unterminated.empty() || unterminated.back() == u'\a' || unterminated.ends_with(u"\a\1")) {
        unterminated += u'y';
    }
    return rest + unterminated;
}
} // namespace

const char* ShapeName(TextShape shape)
{
    switch (shape) {
    case TextShape::AsSaved:
        return "as saved";
    case TextShape::OddLength:
        return "odd length";
    case TextShape::OutOfKeyOrder:
        return "out of key order";
    case TextShape::DuplicateKeys:
        return "duplicate keys";
    case TextShape::DamagedRest:
        return "damaged rest";
    case TextShape::Nul:
        break;
    }
    return "NUL";
}

HandMadeText MakeHandMadeText(RandomEntries& random, TextShape shape, std::size_t records)
{
    const bool needsARecord = shape != TextShape::AsSaved && shape != TextShape::OutOfKeyOrder;
    std::vector<Record> sorted = RandomRecords(random, std::max<std::size_t>(records, needsARecord ? 1 : 0));
    if (!sorted.empty() && random.OneIn(2)) {
        FillWholeBlocks(sorted);
    }
    HandMadeText made;
    made.damaged = shape == TextShape::OddLength || shape == TextShape::DamagedRest || shape == TextShape::Nul;
    switch (shape) {
    case TextShape::AsSaved:
        Read(made, sorted);
        made.bytes = TextBytes(TextOf(sorted));
        break;
    case TextShape::OddLength:
        Read(made, sorted);
        made.bytes = TextBytes(TextOf(sorted));
        made.bytes.pop_back();
        break;
    case TextShape::OutOfKeyOrder: {
        std::vector<Record> shuffled = sorted;
        std::shuffle(shuffled.begin(), shuffled.end(), random.Engine());
        Read(made, shuffled);
        made.bytes = TextBytes(TextOf(shuffled));
        break;
    }
    case TextShape::DuplicateKeys: {
        const std::vector<Record> file = WithDuplicates(random, sorted);
        Read(made, file);
        made.bytes = TextBytes(TextOf(file));
        break;
    }
    case TextShape::DamagedRest:
        Read(made, sorted);
        made.bytes = TextBytes(TextOf(sorted) + DamagedRest(random));
        break;
    case TextShape::Nul: {
        // In a field of a record, or after the last one: the records before it are read.
        const std::size_t damagedRecord = random.Below(sorted.size() + 1);
        const std::vector<Record> before(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(damagedRecord));
        Read(made, before);
        std::u16string text = TextOf(sorted);
        const std::size_t start = TextOf(before).size();
        const std::size_t end =
            damagedRecord < sorted.size()
                ? start + RecordText(sorted[damagedRecord].first, sorted[damagedRecord].second).size() - 3
                : text.size();
        text.insert(start + random.Below(end - start + 1), 1, u'\0');
        made.bytes = TextBytes(text);
        break;
    }
    }
    return made;
}
