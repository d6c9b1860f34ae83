#include "cli/ScriptLine.h"

namespace tessaly {

ScriptLine splitScriptLine(std::string_view line) {
    ScriptLine result;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::size_t i = 0;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i == line.size() || line[i] == '#')
        return result;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i == line.size())
            break;
        std::string word;
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) {
                result.error = "unclosed quote";
                return result;
            }
            word = std::string(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            while (i < line.size() && !isBlank(line[i]))
                word += line[i++];
        }
        result.words.push_back(std::move(word));
    }
    return result;
}

} // namespace tessaly
