#pragma once
// Which menu items are available. Items not mentioned are available.

#include <set>
#include <string>
#include <string_view>

namespace tessaly {

class MenuState {
public:
    void setEnabled(std::string_view name, bool enabled) {
        if (enabled)
            m_disabled.erase(std::string(name));
        else
            m_disabled.insert(std::string(name));
    }
    bool isEnabled(std::string_view name) const {
        return m_disabled.find(std::string(name)) == m_disabled.end();
    }

private:
    std::set<std::string, std::less<>> m_disabled;
};

} // namespace tessaly
