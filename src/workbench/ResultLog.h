#pragma once
// The accumulated text of the result window. Writers compose whole lines ending in CR LF.

#include <string>
#include <string_view>

namespace tessaly {

class ResultLog {
public:
    void append(std::string_view text) { m_text.append(text); }
    void clear() { m_text.clear(); }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

inline constexpr const char* kLineEnd = "\r\n";

} // namespace tessaly
