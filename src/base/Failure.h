#pragma once
// The failure of a command. A command is the one error boundary: algorithms below it throw a
// Failure carrying the description the user reads ("Overflow", "Division by zero", ...), and the
// command shows it after its own fixed message text.

#include <cmath>
#include <stdexcept>
#include <string>

namespace tessaly {

class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& description) : std::runtime_error(description) {}
    std::string description() const { return what(); }
};

// Descriptions of the run-time failures the commands report.
namespace failure_text {
inline constexpr const char* overflow = "Overflow";
inline constexpr const char* divisionByZero = "Division by zero";
inline constexpr const char* subscriptOutOfRange = "Subscript out of range";
inline constexpr const char* invalidCall = "Invalid procedure call or argument";
inline constexpr const char* typeMismatch = "Type mismatch";
inline constexpr const char* inputPastEnd = "Input past end of file";
inline constexpr const char* cancelled = "Cancel was selected.";
} // namespace failure_text

[[noreturn]] inline void raise(const std::string& description) {
    throw Failure(description);
}

// The writers of the program's files call this for every number: an infinite or NaN value would not
// read back, so the file is refused instead of written.
inline double finiteForFile(double value) {
    if (!std::isfinite(value))
        raise("a number that is not finite cannot be written; nothing was saved");
    return value;
}

} // namespace tessaly
