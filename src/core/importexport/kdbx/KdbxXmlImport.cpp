#include "core/importexport/kdbx/KdbxXmlImport.h"

#include <botan/base64.h>
#include <botan/exceptn.h>
#include <pugixml.hpp>

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "core/common/Utf.h"
#include "core/database/RecordReader.h"
#include "core/importexport/NoteLines.h"
#include "core/importexport/kdbx/KdbxVariantMap.h"

namespace {
// KeePass nests groups a few levels deep; a crafted file nested deeper would only exhaust the stack.
constexpr int DeepestNesting = 1000;
constexpr std::u16string_view GroupSeparator = u"/";

SecureString DecodeText(std::string_view bytes)
{
    std::optional<std::u16string> decoded = DecodeUtf8Strict(bytes);
    if (!decoded) {
        throw KdbxMalformed{"a value in it is not UTF-8 text"};
    }
    SecureString text(decoded->begin(), decoded->end());
    WipeString(*decoded);
    if (text.find(u'\0') != SecureString::npos || text.find(FieldTerminatorView) != SecureString::npos) {
        throw KdbxForbiddenCharacters{};
    }
    return text;
}

Botan::secure_vector<std::uint8_t> DecodeBase64(std::string_view text)
{
    try {
        return Botan::base64_decode(text.data(), text.size(), true);
    } catch (const Botan::Exception&) {
        throw KdbxMalformed{"a protected value in it is not Base64"};
    }
}

bool IsProtected(const pugi::xml_node& node)
{
    return node.attribute("Protected").as_bool();
}

bool Named(const pugi::xml_node& node, std::string_view name)
{
    return name == node.name();
}

class CXmlMapper
{
public:
    explicit CXmlMapper(CInnerStream& stream)
        : stream(stream)
    {}

    KdbxImport Map(const pugi::xml_node& file)
    {
        for (const pugi::xml_node& part : file.children()) {
            if (Named(part, "Root")) {
                MapRoot(part);
            } else {
                if (Named(part, "Meta")) {
                    ReadRecycleBin(part);
                }
                Consume(part, 0);
            }
        }
        return std::move(result);
    }

private:
    void ReadRecycleBin(const pugi::xml_node& meta)
    {
        const auto uuid = DecodeBase64(meta.child_value("RecycleBinUUID"));
        const bool none = std::all_of(uuid.begin(), uuid.end(), [](std::uint8_t byte) { return byte == 0; });
        if (!none) {
            recycleBin.assign(uuid.begin(), uuid.end());
        }
    }

    // The value's text, revealed when it is protected: the stream moves on by its length either way it is used.
    SecureString Text(const pugi::xml_node& value)
    {
        if (!IsProtected(value)) {
            return DecodeText(value.child_value());
        }
        auto bytes = DecodeBase64(value.child_value());
        stream.Apply(bytes.data(), bytes.size());
        return DecodeText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

    // Moves the stream over every protected value below the node, in document order, keeping none of them.
    void Consume(const pugi::xml_node& node, int depth)
    {
        if (depth > DeepestNesting) {
            throw KdbxMalformed{"it is nested too deeply"};
        }
        for (const pugi::xml_node& child : node.children()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            if (IsProtected(child)) {
                auto bytes = DecodeBase64(child.child_value());
                stream.Apply(bytes.data(), bytes.size());
            }
            Consume(child, depth + 1);
        }
    }

    void MapRoot(const pugi::xml_node& root)
    {
        for (const pugi::xml_node& part : root.children()) {
            if (Named(part, "Group")) {
                MapGroup(part, SecureString(), 0, false);
            } else {
                Consume(part, 0);
            }
        }
    }

    bool IsRecycleBin(const pugi::xml_node& group) const
    {
        if (recycleBin.empty()) {
            return false;
        }
        const auto uuid = DecodeBase64(group.child_value("UUID"));
        return std::equal(uuid.begin(), uuid.end(), recycleBin.begin(), recycleBin.end());
    }

    void MapGroup(const pugi::xml_node& group, const SecureString& path, int depth, bool inRecycleBin)
    {
        if (depth > DeepestNesting) {
            throw KdbxMalformed{"its groups are nested too deeply"};
        }
        inRecycleBin = inRecycleBin || IsRecycleBin(group);
        for (const pugi::xml_node& child : group.children()) {
            if (Named(child, "Group")) {
                MapGroup(child, ChildPath(path, child, depth), depth + 1, inRecycleBin);
            } else if (Named(child, "Entry") && inRecycleBin) {
                ++result.recycleBinLeftOut;
                Consume(child, depth);
            } else if (Named(child, "Entry")) {
                MapEntry(child, path, depth);
            } else {
                Consume(child, depth);
            }
        }
    }

    // The root group's own name is left out: its children are the top-level groups.
    static SecureString ChildPath(const SecureString& path, const pugi::xml_node& child, int depth)
    {
        SecureString name = DecodeText(child.child_value("Name"));
        if (depth == 0) {
            return name;
        }
        SecureString joined = path;
        joined.append(GroupSeparator);
        joined.append(name);
        return joined;
    }

    void MapEntry(const pugi::xml_node& node, const SecureString& group, int depth)
    {
        Entry entry;
        entry.group = group;
        // Wiped on release: short values live inside the vector's own storage.
        std::vector<std::pair<SecureString, SecureString>, WipingAllocator<std::pair<SecureString, SecureString>>>
            others;
        SecureString tags;
        for (const pugi::xml_node& child : node.children()) {
            if (Named(child, "String")) {
                SecureString key = DecodeText(child.child_value("Key"));
                SecureString value = Text(child.child("Value"));
                if (SecureString* field = FieldNamed(entry, key)) {
                    *field = std::move(value);
                } else {
                    others.emplace_back(std::move(key), std::move(value));
                }
            } else if (Named(child, "Tags")) {
                tags = DecodeText(child.child_value());
            } else {
                CountLeftOut(child);
                Consume(child, depth + 1);
            }
        }
        // The tags come last: where KeePass writes them among the entry's elements says nothing about the entry.
        others.emplace_back(ToSecure(u"Tags"), std::move(tags));
        UseNotesLineBreaks(entry.notes);
        for (auto& [key, value] : others) {
            if (!value.empty()) {
                AppendNoteLine(entry.notes, std::u16string_view(key.data(), key.size()), value);
            }
        }
        result.read.entries.push_back(std::move(entry));
    }

    void CountLeftOut(const pugi::xml_node& child)
    {
        if (Named(child, "Binary")) {
            ++result.attachmentsLeftOut;
        } else if (Named(child, "History")) {
            const auto entries = child.children("Entry");
            result.historyLeftOut += static_cast<std::size_t>(std::distance(entries.begin(), entries.end()));
        }
    }

    static SecureString* FieldNamed(Entry& entry, const SecureString& key)
    {
        const std::u16string_view name(key.data(), key.size());
        return name == u"Title"      ? &entry.title
               : name == u"UserName" ? &entry.username
               : name == u"Password" ? &entry.password
               : name == u"URL"      ? &entry.url
               : name == u"Notes"    ? &entry.notes
                                     : nullptr;
    }

    CInnerStream& stream;
    std::vector<std::uint8_t> recycleBin;
    KdbxImport result;
};

void CheckHeaderHash(const pugi::xml_node& file, const std::optional<Sha256Digest>& headerHash)
{
    const char* stored = file.child("Meta").child_value("HeaderHash");
    if (!headerHash || *stored == '\0') {
        return;
    }
    const auto hash = DecodeBase64(stored);
    if (!SameDigest(*headerHash, hash)) {
        throw KdbxMalformed{"its header does not match the checksum inside it"};
    }
}
} // namespace

KdbxImport MapKdbxXml(SecureBytes& xml, CInnerStream& stream, const std::optional<Sha256Digest>& headerHash)
{
    pugi::xml_document document;
    const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata_single;
    if (!document.load_buffer_inplace(xml.data(), xml.size(), options, pugi::encoding_utf8)) {
        throw KdbxMalformed{"its XML content cannot be read"};
    }
    const pugi::xml_node file = document.child("KeePassFile");
    if (!file) {
        throw KdbxMalformed{"its content is not a KeePass XML document"};
    }
    CheckHeaderHash(file, headerHash);
    KdbxImport import = CXmlMapper(stream).Map(file);
    import.read.source = ExportSource::KeePassXC;
    return import;
}
