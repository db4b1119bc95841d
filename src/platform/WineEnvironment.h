#pragma once

#include "platform/WineRegistry.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

// The environment a Windows program sees in a Wine prefix, as far as the
// prefix's registry files tell it: enough to expand the "%ProgramFiles%\..."
// of REG_EXPAND_SZ values. Wine builds a process's environment from
//   - the machine's "Session Manager\Environment" (ComSpec, PATH, windir, ...),
//   - the folders of Software\Microsoft\Windows\CurrentVersion (ProgramFilesDir
//     and friends; the Wow6432Node copy for 32-bit programs),
//   - the profile list of Windows NT\CurrentVersion (ProgramData, the user's
//     profile folder),
//   - the user's "Environment" key, which wins over the machine's.
// A 32-bit program in a 64-bit prefix sees %ProgramFiles% as the "(x86)" folder;
// `wow32` picks that view.
class TWineEnvironment {
public:
    TWineEnvironment(const TWineRegistry &machine, const TWineRegistry &user, const std::string &userName,
                     bool wow32);

    // The variable's value, itself expanded; nothing when it is not set.
    // Names compare without regard to ASCII case.
    std::optional<std::string> Variable(std::string_view name) const;
    // "%Name%" replaced by the variable's value wherever the variable is set;
    // anything else, unknown names included, stays as written (as Windows'
    // ExpandEnvironmentStrings does). The result is cut at Windows' limit of
    // 32767 characters, so values that refer to each other cannot blow it up.
    std::string Expand(std::string_view text) const;

    static constexpr std::size_t kMaxLength = 32767;

private:
    std::string expand(std::string_view text, int depth) const;
    void set(std::string_view name, const std::string &value);

    std::map<std::string, std::string> vars_; // folded name -> value as written
};
