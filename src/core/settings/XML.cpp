#include "core/settings/XML.h"

#include <pugixml.hpp>

#include <new>
#include <vector>

#include "core/common/AtomicFile.h"
#include "core/common/Utf.h"

namespace {
constexpr std::u16string_view CannotCreateParser = u"Unable to create XML parser object.";
constexpr std::u16string_view CannotLoadDocument = u"Unable to load into the XML document.";
constexpr std::u16string_view CannotSaveDocument = XmlSaveFailedText;

// Line ends are normalised as XML prescribes. A value made only of white space is kept, while white space between
// elements is not, so that an indented file and a one-line file give the same document. The fragment mode keeps
// text outside the root element, which the parser would otherwise drop silently, so that such a file can be refused.
constexpr unsigned ParseOptions =
    pugi::parse_default | pugi::parse_comments | pugi::parse_pi | pugi::parse_ws_pcdata_single | pugi::parse_fragment;

class StringWriter : public pugi::xml_writer
{
public:
    void write(const void* data, std::size_t size) override { bytes.append(static_cast<const char*>(data), size); }

    std::string bytes;
};

// Exactly one root element and no text beside it, as a well-formed document has.
bool HasSingleRoot(const pugi::xml_document& document)
{
    int elements = 0;
    for (const pugi::xml_node& child : document.children()) {
        switch (child.type()) {
        case pugi::node_element:
            ++elements;
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            return false;
        default:
            break;
        }
    }
    return elements == 1;
}

std::string Repaired(const char* text)
{
    return Utf16ToUtf8(Utf8ToUtf16(text));
}

bool IsWellFormedUtf8(const char* text)
{
    return DecodeUtf8Strict(text).has_value();
}

// A file in UTF-8 may carry bytes that are not UTF-8; they become U+FFFD here so that saving the document again
// writes a file that every XML reader accepts.
void RepairEncoding(pugi::xml_document& document)
{
    std::vector<pugi::xml_node> pending{document};
    while (!pending.empty()) {
        pugi::xml_node node = pending.back();
        pending.pop_back();
        if (!IsWellFormedUtf8(node.name())) {
            node.set_name(Repaired(node.name()).c_str());
        }
        if (!IsWellFormedUtf8(node.value())) {
            node.set_value(Repaired(node.value()).c_str());
        }
        for (pugi::xml_attribute attribute : node.attributes()) {
            if (!IsWellFormedUtf8(attribute.name())) {
                attribute.set_name(Repaired(attribute.name()).c_str());
            }
            if (!IsWellFormedUtf8(attribute.value())) {
                attribute.set_value(Repaired(attribute.value()).c_str());
            }
        }
        for (pugi::xml_node child : node.children()) {
            pending.push_back(child);
        }
    }
}

// The text of all text and CDATA nodes below the element, in document order, as a DOM reads an element's text.
std::string TextContent(pugi::xml_node element)
{
    std::string text;
    std::vector<pugi::xml_node> pending;
    for (pugi::xml_node child = element.last_child(); child; child = child.previous_sibling()) {
        pending.push_back(child);
    }
    while (!pending.empty()) {
        const pugi::xml_node node = pending.back();
        pending.pop_back();
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            text += node.value();
        }
        for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling()) {
            pending.push_back(child);
        }
    }
    return text;
}

// The parser's own removal recurses into the subtree and overflows the stack on a deeply nested hand-made file, so
// the subtree is taken apart from its leaves upwards.
void RemoveChildren(pugi::xml_node element)
{
    pugi::xml_node node = element;
    while (true) {
        if (pugi::xml_node child = node.first_child()) {
            node = child;
            continue;
        }
        if (node == element) {
            return;
        }
        pugi::xml_node parent = node.parent();
        parent.remove_child(node);
        node = parent;
    }
}

bool IsReadOnly(const std::filesystem::path& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) &&
           (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}
} // namespace

XmlError::XmlError(std::u16string_view message)
    : std::runtime_error(Utf16ToUtf8(message))
    , message(message)
{}

CXML::CXML()
{
    try {
        document = std::make_unique<pugi::xml_document>();
    } catch (const std::bad_alloc&) {
        throw XmlError(CannotCreateParser);
    }
}

CXML::~CXML() = default;

bool CXML::LoadFile(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        document->reset();
        return false;
    }
    const pugi::xml_parse_result result = document->load_file(path.c_str(), ParseOptions, pugi::encoding_auto);
    if (!result || !HasSingleRoot(*document)) {
        // The parser keeps what it read up to the error; none of it may be taken for settings.
        document->reset();
        return false;
    }
    RepairEncoding(*document);
    return true;
}

void CXML::LoadOrCreate(const std::filesystem::path& path)
{
    if (LoadFile(path)) {
        return;
    }
    if (!document->load_buffer(EmptySettingsDocument.data(), EmptySettingsDocument.size(), ParseOptions,
                               pugi::encoding_utf8)) {
        document->reset();
        throw XmlError(CannotLoadDocument);
    }
}

pugi::xml_node CXML::Find(std::u16string_view path) const
{
    pugi::xml_node node = *document;
    std::size_t start = 0;
    while (node) {
        const std::size_t end = std::min(path.find(u'/', start), path.size());
        const std::string name = Utf16ToUtf8(path.substr(start, end - start));
        pugi::xml_node match;
        for (pugi::xml_node child : node.children()) {
            if (child.type() == pugi::node_element && name == child.name()) {
                match = child;
                break;
            }
        }
        node = match;
        if (end == path.size()) {
            break;
        }
        start = end + 1;
    }
    return node;
}

std::optional<std::u16string> CXML::GetValue(std::u16string_view path) const
{
    const pugi::xml_node node = Find(path);
    if (!node) {
        return std::nullopt;
    }
    return Utf8ToUtf16(TextContent(node));
}

void CXML::SetValue(std::u16string_view key, std::u16string_view text)
{
    std::u16string path = u"Options/";
    path += key;
    pugi::xml_node element = Find(path);
    if (!element) {
        pugi::xml_node root = Find(u"Options");
        if (!root) {
            return;
        }
        element = root.append_child(Utf16ToUtf8(key).c_str());
        if (!element) {
            return;
        }
    }
    RemoveChildren(element);
    element.append_child(pugi::node_pcdata).set_value(Utf16ToUtf8(text).c_str());
}

void CXML::Save(const std::filesystem::path& path) const
{
    // Replacing the file by rename would succeed on a file the user made read-only; honour the protection instead.
    if (path.empty() || IsReadOnly(path)) {
        throw XmlError(CannotSaveDocument);
    }
    StringWriter writer;
    document->save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
    try {
        const auto* bytes = reinterpret_cast<const unsigned char*>(writer.bytes.data());
        WriteFileAtomically(path, {bytes, writer.bytes.size()}, 0600);
    } catch (const FileWriteError&) {
        throw XmlError(CannotSaveDocument);
    } catch (const std::filesystem::filesystem_error&) {
        throw XmlError(CannotSaveDocument);
    }
}
