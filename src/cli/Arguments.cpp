#include "cli/Arguments.h"

#include <algorithm>
#include <array>
#include <utility>

#include "cli/CliCommand.h"
#include "core/common/Utf.h"

namespace {
// Short forms of the common options, taken as their long names everywhere.
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> ShortForms = {{
    {"-l", "--length"},
    {"-o", "--output"},
    {"-q", "--quiet"},
    {"-s", "--show-password"},
}};

std::string LongName(const std::string& name)
{
    for (const auto& [shortName, longName] : ShortForms) {
        if (name == shortName) {
            return std::string(longName);
        }
    }
    return name;
}
} // namespace

SecureString ArgumentText(const std::string& argument, std::string_view what)
{
    std::optional<std::u16string> text = DecodeUtf8Strict(argument);
    if (!text) {
        throw UsageError(std::string(what) + " is not valid UTF-8");
    }
    SecureString result = ToSecure(*text);
    WipeString(*text);
    return result;
}

CArguments::CArguments(const std::vector<std::string>& arguments, std::initializer_list<std::string_view> known,
                       std::initializer_list<std::string_view> knownFlags)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = LongName(argument.substr(0, equals));
        if (name == QuietFlag || std::find(knownFlags.begin(), knownFlags.end(), name) != knownFlags.end()) {
            if (equals != std::string::npos) {
                throw UsageError("option " + name + " takes no value");
            }
            if (!flags.insert(name).second) {
                throw UsageError("option " + name + " is given twice");
            }
            continue;
        }
        if (std::find(known.begin(), known.end(), name) == known.end()) {
            throw UsageError("unknown option " + argument.substr(0, equals));
        }
        if (options.contains(name)) {
            throw UsageError("option " + name + " is given twice");
        }
        if (equals != std::string::npos) {
            options[name] = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            options[name] = arguments[++i];
        } else {
            throw UsageError("option " + name + " needs a value");
        }
    }
}

void CArguments::ExpectPositional(std::size_t count) const
{
    if (positional.size() < count) {
        throw UsageError("missing arguments");
    }
    if (positional.size() > count) {
        throw UsageError("too many arguments");
    }
}

std::filesystem::path CArguments::Path(std::size_t index) const
{
    if (positional.at(index).empty()) {
        throw UsageError("the database path is empty");
    }
    return positional.at(index);
}

SecureString CArguments::Text(std::size_t index) const
{
    return ArgumentText(positional.at(index), "an argument");
}

std::optional<SecureString> CArguments::Option(std::string_view name) const
{
    const auto found = options.find(name);
    if (found == options.end()) {
        return std::nullopt;
    }
    return ArgumentText(found->second, "the value of " + std::string(name));
}

std::optional<std::filesystem::path> CArguments::OptionPath(std::string_view name) const
{
    const auto found = options.find(name);
    if (found == options.end()) {
        return std::nullopt;
    }
    if (found->second.empty()) {
        throw UsageError("the path of " + std::string(name) + " is empty");
    }
    return found->second;
}

bool CArguments::Flag(std::string_view name) const
{
    return flags.contains(name);
}
