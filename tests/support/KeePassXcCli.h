#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/ChildProcess.h"

// Debian's keepassxc-cli, the peer our KDBX files are checked against.

// Runs keepassxc-cli with the arguments; `input` answers its password prompts, one line each.
ProgramResult KeePassXcCli(const std::vector<std::string>& arguments, const std::string& input);

// One record of `keepassxc-cli export --format csv`: Group, Title, Username, Password, URL, Notes, TOTP, ...
using KeePassXcRecord = std::vector<std::string>;

// The records of keepassxc-cli's CSV export of the file (header line left out); fails the test when it cannot open it.
std::vector<KeePassXcRecord> KeePassXcCsv(const std::filesystem::path& file, const std::string& password,
                                          const std::vector<std::string>& keyFileArguments = {});

// A KeePass XML document that keepassxc-cli imports: UUIDs made distinct by a counter.
class KeePassXml
{
public:
    // A group with the given UUID (as Base64), or a new one.
    KeePassXml& OpenGroup(const std::string& name, const std::string& uuid = {});
    KeePassXml& CloseGroup();
    // `strings` are key/value pairs; `inside` is written into the entry after them (tags, attachments, history).
    KeePassXml& AddEntry(const std::vector<std::pair<std::string, std::string>>& strings,
                         const std::string& inside = {});
    std::string NextUuid();
    // The whole document; `meta` goes inside Meta.
    std::string Document(const std::string& meta = {}) const;

private:
    std::string body;
    unsigned counter = 0;
};

// Escapes text for XML content.
std::string XmlEscaped(const std::string& text);
