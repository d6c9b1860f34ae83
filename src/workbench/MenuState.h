#pragma once
// Which menu items are available, and why one is not. Items not mentioned are available.

#include <map>
#include <string>
#include <string_view>

namespace tessaly {

class MenuState {
public:
    // `reason` says what makes the item available (shown beside a greyed item); kept while it is
    // unavailable.
    void setEnabled(std::string_view name, bool enabled, std::string_view reason = {}) {
        if (enabled)
            m_disabled.erase(std::string(name));
        else
            m_disabled[std::string(name)] = std::string(reason);
    }
    bool isEnabled(std::string_view name) const { return m_disabled.find(name) == m_disabled.end(); }
    // Why an item is unavailable; "" when it is available or no reason was given.
    std::string reason(std::string_view name) const {
        const auto it = m_disabled.find(name);
        return it == m_disabled.end() ? std::string() : it->second;
    }

private:
    std::map<std::string, std::string, std::less<>> m_disabled;
};

} // namespace tessaly
