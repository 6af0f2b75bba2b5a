#include "support/KeePassXcCli.h"

#include <gtest/gtest.h>

#include <openssl/evp.h>

namespace {
const std::filesystem::path Program = "/usr/bin/keepassxc-cli";

std::vector<KeePassXcRecord> ParseQuotedCsv(const std::string& text)
{
    std::vector<KeePassXcRecord> records;
    KeePassXcRecord record;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field.push_back('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field.push_back(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
        } else if (c == '\n') {
            record.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(record));
            record.clear();
        } else if (c != '\r') {
            field.push_back(c);
        }
    }
    if (!field.empty() || !record.empty()) {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
    }
    return records;
}
} // namespace

ProgramResult KeePassXcCli(const std::vector<std::string>& arguments, const std::string& input)
{
    return RunProgram(Program, arguments, input, {}, std::chrono::seconds(600));
}

std::vector<KeePassXcRecord> KeePassXcCsv(const std::filesystem::path& file, const std::string& password,
                                          const std::vector<std::string>& keyFileArguments)
{
    std::vector<std::string> arguments{"export", "-q", "--format", "csv"};
    arguments.insert(arguments.end(), keyFileArguments.begin(), keyFileArguments.end());
    arguments.push_back(file.string());
    const ProgramResult result = KeePassXcCli(arguments, password + "\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::vector<KeePassXcRecord> records = ParseQuotedCsv(result.out);
    if (!records.empty()) {
        records.erase(records.begin());
    }
    return records;
}

std::string XmlEscaped(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped.push_back(c);
        }
    }
    return escaped;
}

std::string KeePassXml::NextUuid()
{
    unsigned char bytes[16] = {};
    ++counter;
    bytes[0] = 0x42;
    bytes[14] = static_cast<unsigned char>(counter >> 8);
    bytes[15] = static_cast<unsigned char>(counter);
    unsigned char encoded[32] = {};
    EVP_EncodeBlock(encoded, bytes, sizeof(bytes));
    return reinterpret_cast<const char*>(encoded);
}

KeePassXml& KeePassXml::OpenGroup(const std::string& name, const std::string& uuid)
{
    body += "<Group><UUID>" + (uuid.empty() ? NextUuid() : uuid) + "</UUID><Name>" + XmlEscaped(name) + "</Name>\n";
    return *this;
}

KeePassXml& KeePassXml::CloseGroup()
{
    body += "</Group>\n";
    return *this;
}

KeePassXml& KeePassXml::AddEntry(const std::vector<std::pair<std::string, std::string>>& strings,
                                 const std::string& inside)
{
    body += "<Entry><UUID>" + NextUuid() + "</UUID>\n";
    for (const auto& [key, value] : strings) {
        body += "<String><Key>" + XmlEscaped(key) + "</Key><Value>" + XmlEscaped(value) + "</Value></String>\n";
    }
    body += inside + "</Entry>\n";
    return *this;
}

std::string KeePassXml::Document(const std::string& meta) const
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<KeePassFile>\n<Meta><Generator>test"
           "</Generator>" +
           meta + "</Meta>\n<Root>\n" + body + "</Root>\n</KeePassFile>\n";
}
