#pragma once

#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/SecureString.h"

// Every command takes it: no confirmation of success on standard error.
inline constexpr std::string_view QuietFlag = "--quiet";

// The arguments of one command: positional values, "--name VALUE" (or "--name=VALUE") options and "--name" flags.
// -l, -o, -q and -s stand for --length, --output, --quiet and --show-password. After "--" everything is positional,
// so that a group or title may start with a dash. Throws UsageError for anything else.
class CArguments
{
public:
    CArguments(const std::vector<std::string>& arguments, std::initializer_list<std::string_view> options,
               std::initializer_list<std::string_view> flags = {});

    // Throws UsageError unless exactly `count` positional arguments were given.
    void ExpectPositional(std::size_t count) const;
    // A path, taken byte for byte as the system takes it.
    std::filesystem::path Path(std::size_t index) const;
    // A text value; throws UsageError when it is not well-formed UTF-8.
    SecureString Text(std::size_t index) const;
    std::optional<SecureString> Option(std::string_view name) const;
    // An option's value as a path, byte for byte; throws UsageError when it is empty.
    std::optional<std::filesystem::path> OptionPath(std::string_view name) const;
    bool Flag(std::string_view name) const;
    bool Quiet() const { return Flag(QuietFlag); }
    std::size_t PositionalCount() const { return positional.size(); }

private:
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> options;
    std::set<std::string, std::less<>> flags;
};

// Converts a UTF-8 argument; throws UsageError naming `what` when it is not well-formed.
SecureString ArgumentText(const std::string& argument, std::string_view what);
