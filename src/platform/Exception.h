#pragma once

#include <stdexcept>
#include <string>

// The program's general error: a message text for the user, raised by the
// logic and shown by whichever command caught it. Nothing is retried.
class EModwright : public std::runtime_error {
public:
    explicit EModwright(const std::string &message) : std::runtime_error(message) {}
    std::string message() const { return what(); }
};

// A broken internal rule: a programming error, never a user's mistake.
class EAssertionFailed : public EModwright {
public:
    explicit EAssertionFailed(const std::string &unit)
        : EModwright("Assertion failure (" + unit + ")"), unit_(unit) {}
    const std::string &unit() const { return unit_; }

private:
    std::string unit_;
};

// Raises "Assertion failure" naming the source unit when the condition is false.
inline void Assert(bool condition, const char *unit)
{
    if (!condition)
        throw EAssertionFailed(unit);
}
