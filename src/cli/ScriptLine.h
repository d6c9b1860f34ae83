#pragma once
// One line of a tessaly-cli script: words separated by blanks, a word may be double-quoted.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The words of a line; nothing for a blank or "#" comment line; an error text for an unclosed quote.
struct ScriptLine {
    std::vector<std::string> words;
    std::optional<std::string> error;
};

ScriptLine splitScriptLine(std::string_view line);

} // namespace tessaly
