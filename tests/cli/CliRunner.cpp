#include "CliRunner.h"

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "support/EntryBuilder.h"
#include "support/MessageRecorder.h"

std::filesystem::path CliRunner::Program()
{
    return std::filesystem::path(LOCKMERE_BIN_DIR) / "lockmere-cli";
}

ProgramResult CliRunner::Run(const std::vector<std::string>& arguments, const std::string& input) const
{
    return RunProgramAt(Program(), arguments, input);
}

ProgramResult CliRunner::RunProgramAt(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                      const std::string& input) const
{
    return RunProgram(program, arguments, input, {{"APPDATA", appData.string()}});
}

void CliRunner::Create(const std::filesystem::path& path, const std::string& password) const
{
    std::vector<std::string> arguments{"create", "-q", path.string()};
    if (password.empty()) {
        arguments.push_back("--allow-empty");
    }
    const ProgramResult result = Run(arguments, password + "\n" + password + "\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
}

std::vector<Entry> CliRunner::ReadEntries(const std::filesystem::path& path, const std::string& password) const
{
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase entries(messages, texts);
    EXPECT_EQ(ReadDatabase(entries, path, Secure(password)), ReadResult::Done);
    return EntriesOf(entries);
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out.push_back(text[i]);
            continue;
        }
        const char kind = text[++i];
        if (kind == 't') {
            out.push_back('\t');
        } else if (kind == 'n') {
            out.push_back('\n');
        } else if (kind == 'r') {
            out.push_back('\r');
        } else if (kind == 'x' && i + 2 < text.size()) {
            const auto value = static_cast<char32_t>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            out += Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(value)));
            i += 2;
        } else {
            out.push_back(kind);
        }
    }
    return out;
}

SecureString Secure(const std::string& text)
{
    return Utf8ToSecure(text);
}
