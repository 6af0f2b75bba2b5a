#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/common/AtomicFile.h"

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi

// A failure of the settings document, carrying the text the user is shown.
class XmlError : public std::runtime_error
{
public:
    explicit XmlError(std::u16string_view message);
    const std::u16string& Message() const { return message; }

private:
    std::u16string message;
};

// One settings document: root `Options`, one child element per setting, the value as its text. Each load or save of
// the settings uses its own instance.
class CXML
{
public:
    // Throws XmlError when the document object cannot be created.
    CXML();
    virtual ~CXML();
    CXML(const CXML&) = delete;
    CXML& operator=(const CXML&) = delete;

    // True only when the file was read and is well-formed; anything else gives false and shows nothing.
    bool LoadFile(const std::filesystem::path& path);
    // A file that does not load leaves the empty settings document, so that a following Save replaces a damaged
    // file by a well-formed one. Throws XmlError when even the empty document cannot be parsed.
    void LoadOrCreate(const std::filesystem::path& path);
    // The text of the first element that matches a path such as "Options/fTop"; nullopt when none matches.
    std::optional<std::u16string> GetValue(std::u16string_view path) const;
    // Replaces the content of Options/key by the text, appending the element when it is missing. A document whose
    // root is not `Options` is left as it is.
    void SetValue(std::u16string_view key, std::u16string_view text);
    // Writes the document in UTF-8, replacing the file atomically. Throws XmlError when it cannot be written.
    void Save(const std::filesystem::path& path, const FileReplacement& how = {}) const;

private:
    pugi::xml_node Find(std::u16string_view path) const;

    std::unique_ptr<pugi::xml_document> document;
};

// The message of a settings document that cannot be written.
inline constexpr std::u16string_view XmlSaveFailedText = u"Unable to save XML document.";

// The document a missing or damaged settings file is replaced with.
inline constexpr std::string_view EmptySettingsDocument = "<?xml version='1.0'?><Options></Options>";
