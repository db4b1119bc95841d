#pragma once

#include <QString>
#include <cstdlib>
#include <optional>
#include <string>

// Sets (or, with nullopt, removes) an environment variable for one scope.
class TEnvGuard {
public:
    TEnvGuard(const char *name, const std::optional<QString> &value) : name_(name)
    {
        if (const char *old = std::getenv(name))
            saved_ = old;
        if (value)
            ::setenv(name, value->toUtf8().constData(), 1);
        else
            ::unsetenv(name);
    }
    ~TEnvGuard()
    {
        if (saved_)
            ::setenv(name_, saved_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    // Leaves the variable as it is now and gives that value back at the end of the scope,
    // whatever is set meanwhile.
    explicit TEnvGuard(const char *name) : name_(name)
    {
        if (const char *old = std::getenv(name))
            saved_ = old;
    }
    TEnvGuard(const TEnvGuard &) = delete;
    TEnvGuard &operator=(const TEnvGuard &) = delete;

private:
    const char *name_;
    std::optional<std::string> saved_;
};
