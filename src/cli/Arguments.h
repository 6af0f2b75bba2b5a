#pragma once

#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/SecureString.h"

// The arguments of one command: positional values and "--name VALUE" (or "--name=VALUE") options. After "--"
// everything is positional, so that a group or title may start with a dash. Throws UsageError for anything else.
class CArguments
{
public:
    CArguments(const std::vector<std::string>& arguments, std::initializer_list<std::string_view> options);

    // Throws UsageError unless exactly `count` positional arguments were given.
    void ExpectPositional(std::size_t count) const;
    // A path, taken byte for byte as the system takes it.
    std::filesystem::path Path(std::size_t index) const;
    // A text value; throws UsageError when it is not well-formed UTF-8.
    SecureString Text(std::size_t index) const;
    std::optional<SecureString> Option(std::string_view name) const;

private:
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> options;
};

// Converts a UTF-8 argument; throws UsageError naming `what` when it is not well-formed.
SecureString ArgumentText(const std::string& argument, std::string_view what);
