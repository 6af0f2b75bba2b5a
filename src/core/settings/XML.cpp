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

// Indenting costs one tab per level on every line, which for a deeply nested hand-made file grows with the square
// of its depth. Such a document is written without indentation, which readers take as the same document.
constexpr int DeepestIndentedLevel = 32;

bool IsDeeperThan(const pugi::xml_document& document, int levels)
{
    std::vector<std::pair<pugi::xml_node, int>> pending{{document, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        if (depth > levels) {
            return true;
        }
        for (pugi::xml_node child : node.children()) {
            pending.emplace_back(child, depth + 1);
        }
    }
    return false;
}

// XML 1.0 allows no control character but tab, line feed and carriage return, not even as a character reference,
// and no unpaired surrogate: such characters are left out, so that every reader accepts the file.
std::u16string AllowedInXml(std::u16string_view text)
{
    std::u16string allowed;
    allowed.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            allowed += unit;
            allowed += text[++i];
        } else if ((unit >= 0x20 || unit == u'\t' || unit == u'\n' || unit == u'\r') && !high && !low &&
                   unit != 0xFFFE && unit != 0xFFFF) {
            allowed += unit;
        }
    }
    return allowed;
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
    // A hand-edited file may hold raw control characters, which a save leaves out; they are left out here too, so
    // that what was read is what the next save keeps.
    return AllowedInXml(Utf8ToUtf16(TextContent(node)));
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
    element.append_child(pugi::node_pcdata).set_value(Utf16ToUtf8(AllowedInXml(text)).c_str());
}

void CXML::Save(const std::filesystem::path& path, const FileReplacement& how) const
{
    if (path.empty()) {
        throw XmlError(CannotSaveDocument);
    }
    StringWriter writer;
    const bool deep = IsDeeperThan(*document, DeepestIndentedLevel);
    document->save(writer, "\t", deep ? pugi::format_raw : pugi::format_default, pugi::encoding_utf8);
    try {
        const auto* bytes = reinterpret_cast<const unsigned char*>(writer.bytes.data());
        WriteFileAtomically(path, {bytes, writer.bytes.size()}, how);
    } catch (const FileWriteError&) {
        throw XmlError(CannotSaveDocument);
    } catch (const std::filesystem::filesystem_error&) {
        throw XmlError(CannotSaveDocument);
    }
}
