#pragma once

#include <optional>
#include <string>
#include <vector>

// What `lockmere --help` and `lockmere --version` print before the program ends; none when the arguments (those after
// the program's name) ask for neither. Looked at before the window system is reached, so both work without a display.
std::optional<std::string> HelpOrVersionText(const std::vector<std::string>& arguments);
