#include "core/importexport/kdbx/KdbxXmlExport.h"

#include <botan/base64.h>

#include <map>
#include <memory>
#include <vector>

#include "core/common/Utf.h"
#include "core/importexport/ExportFile.h"
#include "core/passgen/RandomSource.h"

namespace {
constexpr std::u16string_view GroupSeparator = u"/";
// Deeper paths keep their remaining levels in the last group's name, which joins back to the same path on import;
// the writer and KeePassXC's reader both recurse through the levels.
constexpr int DeepestNesting = 1000;
// KeePass counts time in seconds from the first day of the year 1.
constexpr std::int64_t SecondsBeforeUnixEpoch = 62135596800;

// The groups of the export, built from the entries' group paths before anything is written: sorted keys keep
// siblings together, but not a group's subgroups ("A", "A!", "A/B").
struct GroupNode
{
    SecureString name;
    std::vector<std::unique_ptr<GroupNode>> children;
    // Wiped on release: short group names live inside the map's nodes.
    std::map<SecureString, GroupNode*, std::less<>, WipingAllocator<std::pair<const SecureString, GroupNode*>>>
        childNamed;
    std::vector<const CDataBase::Map::value_type*> entries;

    GroupNode& Child(const SecureString& childName)
    {
        if (const auto found = childNamed.find(childName); found != childNamed.end()) {
            return *found->second;
        }
        children.push_back(std::make_unique<GroupNode>());
        children.back()->name = childName;
        childNamed[childName] = children.back().get();
        return *children.back();
    }
};

void BuildTree(const CDataBase& entries, GroupNode& root)
{
    const SecureString* lastGroup = nullptr;
    GroupNode* lastNode = &root;
    for (const auto& item : entries) {
        const SecureString& group = item.first.group;
        if (lastGroup == nullptr || *lastGroup != group) {
            lastNode = &root;
            std::size_t start = 0;
            for (int depth = 1; !group.empty(); ++depth) {
                const std::size_t end = depth < DeepestNesting ? group.find(GroupSeparator, start) : SecureString::npos;
                lastNode = &lastNode->Child(group.substr(start, end - start));
                if (end == SecureString::npos) {
                    break;
                }
                start = end + 1;
            }
            lastGroup = &group;
        }
        lastNode->entries.push_back(&item);
    }
}

// Characters XML 1.0 cannot carry, even as references.
bool FitsXml(const SecureString& value)
{
    for (const char16_t unit : value) {
        const bool control = unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r';
        if (control || unit == 0xFFFE || unit == 0xFFFF) {
            return false;
        }
    }
    return true;
}

class CXmlWriter
{
public:
    CXmlWriter(CInnerStream& stream, IRandomSource& random, std::int64_t now)
        : stream(stream)
        , random(random)
        , time(TimeText(now))
    {}

    SecureBytes Write(const CDataBase& entries, std::u16string_view rootName)
    {
        GroupNode root;
        root.name = ToSecure(rootName);
        BuildTree(entries, root);
        out.reserve(entries.Size() * 900 + 4096);
        Raw("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<KeePassFile>\n<Meta>\n"
            "<Generator>Lockmere</Generator>\n<DatabaseName>");
        Text(root.name);
        Raw("</DatabaseName>\n<MemoryProtection><ProtectTitle>False</ProtectTitle><ProtectUserName>False"
            "</ProtectUserName><ProtectPassword>True</ProtectPassword><ProtectURL>False</ProtectURL><ProtectNotes>"
            "False</ProtectNotes></MemoryProtection>\n<RecycleBinEnabled>True</RecycleBinEnabled>\n"
            "<RecycleBinUUID>AAAAAAAAAAAAAAAAAAAAAA==</RecycleBinUUID>\n</Meta>\n<Root>\n");
        Group(root);
        Raw("<DeletedObjects/>\n</Root>\n</KeePassFile>\n");
        return std::move(out);
    }

private:
    static std::string TimeText(std::int64_t now)
    {
        const std::int64_t seconds = now + SecondsBeforeUnixEpoch;
        std::uint8_t bytes[8];
        for (int i = 0; i < 8; ++i) {
            bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(seconds) >> (8 * i));
        }
        return Botan::base64_encode(bytes, sizeof(bytes));
    }

    void Raw(std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

    void Text(const SecureString& value)
    {
        ForEachCodePoint(value, [&](char32_t point) {
            switch (point) {
            case U'&':
                Raw("&amp;");
                return;
            case U'<':
                Raw("&lt;");
                return;
            case U'>':
                Raw("&gt;");
                return;
            case U'\r':
                // A bare carriage return would reach the reader as a line feed.
                Raw("&#13;");
                return;
            default:
                AppendUtf8(out, point);
            }
        });
    }

    void Uuid()
    {
        std::uint8_t bytes[16];
        random.Fill(bytes, sizeof(bytes));
        bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
        bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
        Raw("<UUID>");
        Raw(Botan::base64_encode(bytes, sizeof(bytes)));
        Raw("</UUID>");
    }

    void Times()
    {
        Raw("<Times><CreationTime>");
        Raw(time);
        Raw("</CreationTime><LastModificationTime>");
        Raw(time);
        Raw("</LastModificationTime><LastAccessTime>");
        Raw(time);
        Raw("</LastAccessTime><ExpiryTime>");
        Raw(time);
        Raw("</ExpiryTime><Expires>False</Expires><UsageCount>0</UsageCount><LocationChanged>");
        Raw(time);
        Raw("</LocationChanged></Times>");
    }

    void Protected(const SecureString& value)
    {
        SecureBytes bytes;
        bytes.reserve(value.size() * 3);
        ForEachCodePoint(value, [&](char32_t point) { AppendUtf8(bytes, point); });
        stream.Apply(bytes.data(), bytes.size());
        Raw("<Value Protected=\"True\">");
        Raw(Botan::base64_encode(bytes.data(), bytes.size()));
        Raw("</Value>");
    }

    void String(std::string_view key, const SecureString& value, bool protect)
    {
        if (HoldsUnpairedSurrogate(std::u16string_view(value.data(), value.size()))) {
            throw UnencodableText("unpaired surrogate");
        }
        Raw("<String><Key>");
        Raw(key);
        Raw("</Key>");
        if (protect || !FitsXml(value)) {
            Protected(value);
        } else {
            Raw("<Value>");
            Text(value);
            Raw("</Value>");
        }
        Raw("</String>");
    }

    // KeePassXC keeps line feeds alone in its notes.
    static SecureString NotesLineBreaks(const SecureString& notes)
    {
        SecureString converted;
        converted.reserve(notes.size());
        for (std::size_t i = 0; i < notes.size(); ++i) {
            if (!(notes[i] == u'\r' && i + 1 < notes.size() && notes[i + 1] == u'\n')) {
                converted.push_back(notes[i]);
            }
        }
        return converted;
    }

    void EntryOf(const CDataBase::Map::value_type& item)
    {
        Raw("<Entry>");
        Uuid();
        Times();
        String("Title", item.first.title, false);
        String("UserName", item.second.username, false);
        String("Password", item.second.password, true);
        String("URL", item.second.url, false);
        String("Notes", NotesLineBreaks(item.second.notes), false);
        Raw("</Entry>\n");
    }

    void Group(const GroupNode& node)
    {
        Raw("<Group>");
        Uuid();
        Raw("<Name>");
        Text(node.name);
        Raw("</Name>");
        Times();
        Raw("<IsExpanded>True</IsExpanded>\n");
        for (const auto* item : node.entries) {
            EntryOf(*item);
        }
        for (const auto& child : node.children) {
            Group(*child);
        }
        Raw("</Group>\n");
    }

    CInnerStream& stream;
    IRandomSource& random;
    std::string time;
    SecureBytes out;
};
} // namespace

SecureBytes KdbxXml(const CDataBase& entries, std::u16string_view rootName, CInnerStream& stream, IRandomSource& random,
                    std::int64_t now)
{
    return CXmlWriter(stream, random, now).Write(entries, rootName);
}
