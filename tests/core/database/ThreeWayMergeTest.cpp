#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/database/ThreeWayMerge.h"
#include "support/EntryBuilder.h"
#include "support/MessageRecorder.h"

namespace {
// One side of a case: entries of the group Web written as "Title=username", the other fields following from those.
using Side = std::vector<std::u16string>;

Entry EntryOf(const std::u16string& written)
{
    const auto equals = written.find(u'=');
    const std::u16string title = written.substr(0, equals);
    const std::u16string username = written.substr(equals + 1);
    return MakeEntry(u"Web", title, username, u"pw-" + username, u"https://" + username, u"");
}

void Fill(CDataBase& database, const Side& side)
{
    for (const std::u16string& written : side) {
        database.Insert(EntryOf(written));
    }
}

Side Written(const CDataBase& database)
{
    Side side;
    for (const Entry& entry : EntriesOf(database)) {
        EXPECT_EQ(entry, EntryOf(FromSecure(entry.title) + u"=" + FromSecure(entry.username)))
            << "an entry's fields were mixed up";
        side.push_back(FromSecure(entry.title) + u"=" + FromSecure(entry.username));
    }
    return side;
}

struct MergeCase
{
    const char* name;
    Side base;
    Side theirs;
    Side ours;
    Side result;
    // The titles kept twice, as "Title>NumberedTitle".
    std::vector<std::u16string> conflicts;
};

std::vector<std::u16string> ConflictsOf(const MergeOutcome& outcome)
{
    std::vector<std::u16string> written;
    for (const MergeConflict& conflict : outcome.conflicts) {
        EXPECT_EQ(conflict.key.group, conflict.ours.group);
        written.push_back(FromSecure(conflict.key.title) + u">" + FromSecure(conflict.ours.title));
    }
    return written;
}

const MergeCase Cases[] = {
    {"NothingChanged", {u"A=a", u"B=b"}, {u"A=a", u"B=b"}, {u"A=a", u"B=b"}, {u"A=a", u"B=b"}, {}},
    {"OnlyOursChanged", {u"A=a", u"B=b"}, {u"A=a", u"B=b"}, {u"A=mine", u"B=b"}, {u"A=mine", u"B=b"}, {}},
    {"OnlyTheirsChanged", {u"A=a", u"B=b"}, {u"A=theirs", u"B=b"}, {u"A=a", u"B=b"}, {u"A=theirs", u"B=b"}, {}},
    {"EachChangedAnotherEntry",
     {u"A=a", u"B=b"},
     {u"A=theirs", u"B=b"},
     {u"A=a", u"B=mine"},
     {u"A=theirs", u"B=mine"},
     {}},
    {"EachAddedAnEntry", {u"A=a"}, {u"A=a", u"T=t"}, {u"A=a", u"O=o"}, {u"A=a", u"O=o", u"T=t"}, {}},
    {"BothChangedTheSameWay", {u"A=a"}, {u"A=same"}, {u"A=same"}, {u"A=same"}, {}},
    {"BothAddedTheSameEntry", {}, {u"N=n"}, {u"N=n"}, {u"N=n"}, {}},
    {"BothChangedDifferently", {u"A=a"}, {u"A=theirs"}, {u"A=mine"}, {u"A=theirs", u"A1=mine"}, {u"A>A1"}},
    {"BothAddedTheKeyDifferently", {}, {u"N=theirs"}, {u"N=mine"}, {u"N=theirs", u"N1=mine"}, {u"N>N1"}},
    {"NumberingSkipsTakenTitles",
     {u"A=a", u"A1=x"},
     {u"A=theirs", u"A1=x"},
     {u"A=mine", u"A1=x"},
     {u"A=theirs", u"A1=x", u"A2=mine"},
     {u"A>A2"}},
    {"NumberingSkipsATitleTheirsAdded",
     {u"A=a"},
     {u"A=theirs", u"A1=new"},
     {u"A=mine"},
     {u"A=theirs", u"A1=new", u"A2=mine"},
     {u"A>A2"}},
    {"TheirsRemovedAnEntryOursLeft", {u"A=a", u"B=b"}, {u"B=b"}, {u"A=a", u"B=b"}, {u"B=b"}, {}},
    {"OursRemovedAnEntryTheirsLeft", {u"A=a", u"B=b"}, {u"A=a", u"B=b"}, {u"B=b"}, {u"B=b"}, {}},
    {"BothRemovedTheSameEntry", {u"A=a", u"B=b"}, {u"B=b"}, {u"B=b"}, {u"B=b"}, {}},
    {"EachRemovedAnotherEntry", {u"A=a", u"B=b", u"C=c"}, {u"B=b", u"C=c"}, {u"A=a", u"C=c"}, {u"C=c"}, {}},
    {"TheirsRemovedWhatOursChanged", {u"A=a"}, {}, {u"A=mine"}, {u"A=mine"}, {}},
    {"OursRemovedWhatTheirsChanged", {u"A=a"}, {u"A=theirs"}, {}, {u"A=theirs"}, {}},
    {"OursRenamedAnEntryTheirsLeft", {u"A=a", u"B=b"}, {u"A=a", u"B=b"}, {u"Z=a", u"B=b"}, {u"B=b", u"Z=a"}, {}},
    {"TheirsRenamedAnEntryOursLeft", {u"A=a", u"B=b"}, {u"Z=a", u"B=b"}, {u"A=a", u"B=b"}, {u"B=b", u"Z=a"}, {}},
    {"OursRenamedWhatTheirsChanged", {u"A=a"}, {u"A=theirs"}, {u"Z=a"}, {u"A=theirs", u"Z=a"}, {}},
    {"BothRenamedToTheSameKey", {u"A=a"}, {u"Z=a"}, {u"Z=a"}, {u"Z=a"}, {}},
    {"BothRenamedToDifferentKeys", {u"A=a"}, {u"Y=a"}, {u"Z=a"}, {u"Y=a", u"Z=a"}, {}},
    {"ManyConflicts",
     {u"A=a", u"B=b", u"C=c", u"D=d"},
     {u"A=t", u"B=t", u"C=t", u"D=d"},
     {u"A=o", u"B=o", u"C=o", u"D=d"},
     {u"A=t", u"A1=o", u"B=t", u"B1=o", u"C=t", u"C1=o", u"D=d"},
     {u"A>A1", u"B>B1", u"C>C1"}},
    {"EverythingAtOnce",
     {u"Keep=k", u"Mine=m", u"Theirs=t", u"Gone=g", u"Both=b"},
     {u"Keep=k", u"Mine=m", u"Theirs=T", u"Both=B1", u"New=n"},
     {u"Keep=k", u"Mine=M", u"Theirs=t", u"Gone=g", u"Both=B2"},
     {u"Both=B1", u"Both1=B2", u"Keep=k", u"Mine=M", u"New=n", u"Theirs=T"},
     {u"Both>Both1"}},
};

class ThreeWayMergeTest : public testing::TestWithParam<MergeCase>
{
protected:
    MessageRecorder messages;
    BuiltinTextSource texts;
};

TEST_P(ThreeWayMergeTest, KeepsEveryChangeOfBothSides)
{
    const MergeCase& given = GetParam();
    CDataBase base(messages, texts);
    CDataBase theirs(messages, texts);
    CDataBase ours(messages, texts);
    Fill(base, given.base);
    Fill(theirs, given.theirs);
    Fill(ours, given.ours);

    const MergeOutcome outcome = ThreeWayMerge(EntryFingerprints::Of(base), theirs, ours);

    EXPECT_EQ(Written(ours), given.result);
    EXPECT_EQ(ConflictsOf(outcome), given.conflicts);
    EXPECT_TRUE(messages.messages.empty());
    CDataBase untouched(messages, texts);
    Fill(untouched, given.theirs);
    EXPECT_EQ(Written(theirs), Written(untouched)) << "the other side is only read";
}

INSTANTIATE_TEST_SUITE_P(Cases, ThreeWayMergeTest, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

TEST(EntryFingerprintsTest, TellAChangeInAnyFieldAndFollowUpdates)
{
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database(messages, texts);
    const Entry entry = MakeEntry(u"G", u"T", u"u", u"p", u"url", u"n");
    database.Insert(entry.Key(), entry.Fields());
    EntryFingerprints fingerprints = EntryFingerprints::Of(database);
    const auto before = fingerprints.EntryDigest(entry.Key());
    ASSERT_TRUE(before);
    EXPECT_EQ(*before, fingerprints.DigestOf(entry.Key(), entry.Fields()));
    for (int field = 2; field < EntryFieldCount; ++field) {
        Entry changed = entry;
        FieldOf(changed, static_cast<EntryField>(field)) += u'x';
        EXPECT_NE(*before, fingerprints.DigestOf(changed.Key(), changed.Fields())) << "field " << field;
    }
    // Fields that only trade characters at their border are still other entries.
    EXPECT_NE(
        fingerprints.DigestOf(MakeEntry(u"G", u"T", u"ab", u"c").Key(), MakeEntry(u"G", u"T", u"ab", u"c").Fields()),
        fingerprints.DigestOf(MakeEntry(u"G", u"T", u"a", u"bc").Key(), MakeEntry(u"G", u"T", u"a", u"bc").Fields()));

    database.Remove(entry.Key());
    fingerprints.Update(database, entry.Key());
    EXPECT_FALSE(fingerprints.EntryDigest(entry.Key()));
    const Entry added = MakeEntry(u"G", u"New", u"x");
    database.Insert(added.Key(), added.Fields());
    fingerprints.Update(database, added.Key());
    EXPECT_EQ(fingerprints.EntryDigest(added.Key()), fingerprints.DigestOf(added.Key(), added.Fields()));
    EXPECT_EQ(fingerprints.Size(), 1u);
}
} // namespace
