#include "cli/ConsolePort.h"

#include <chrono>
#include <ostream>

namespace tessaly {

ConsolePort::ConsolePort(std::ostream& out, std::ostream& err, bool keepCrLf)
    : m_out(out), m_err(err), m_keepCrLf(keepCrLf) {}

void ConsolePort::showMessage(std::string_view text, std::string_view title, MessageIcon) {
    m_err << (title.empty() ? std::string_view("Message") : title) << ": " << text << '\n';
    m_err.flush();
}

std::optional<std::string> ConsolePort::takeAnswer() {
    auto answer = std::move(m_answer);
    m_answer.reset();
    return answer;
}

std::optional<std::string> ConsolePort::openFileName(std::string_view) {
    return takeAnswer();
}
std::optional<std::string> ConsolePort::saveFileName(std::string_view) {
    return takeAnswer();
}
std::optional<std::string> ConsolePort::inputText(std::string_view, std::string_view, std::string_view) {
    return takeAnswer();
}

double ConsolePort::clockSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void ConsolePort::openInBrowser(std::string_view target) {
    m_err << "Open in browser: " << target << '\n';
}

void ConsolePort::resultLogChanged() {
    if (!m_resultSource)
        return;
    const std::string& text = m_resultSource();
    if (text.size() < m_printed)
        m_printed = 0; // the log was cleared
    std::string_view fresh = std::string_view(text).substr(m_printed);
    m_printed = text.size();
    if (m_keepCrLf) {
        m_out << fresh;
    } else {
        for (std::size_t i = 0; i < fresh.size(); ++i)
            if (!(fresh[i] == '\r' && i + 1 < fresh.size() && fresh[i + 1] == '\n'))
                m_out << fresh[i];
    }
    m_out.flush();
}

bool ConsolePort::savePlotImage(const std::string& path) {
    return m_imageWriter && m_imageWriter(path);
}

} // namespace tessaly
