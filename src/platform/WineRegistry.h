#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A read-only view of one of Wine's registry files ("system.reg" holds
// HKEY_LOCAL_MACHINE, "user.reg" HKEY_CURRENT_USER). The text format:
//
//   WINE REGISTRY Version 2
//   ;; comment
//   #arch=win64
//   [Software\\Vendor\\Key] 1700000000        key below the file's root; the
//   #time=1da2b3c4d5e6f70                     number after "]" is a timestamp
//   @="default value"
//   "Name"="text with \\ \" \n \x00e9 escapes"
//   "Count"=dword:0000002a
//   "Path"=str(2):"%SystemRoot%\\x"          str(N): a string of type N
//   "Blob"=hex:01,02,\                       hex / hex(N): bytes, a trailing
//     03,04                                  "\" continues the line
//
// Key paths are backslash-separated with "\\" in the file; "[" and "]" inside
// names are written "\[" and "\]". Names compare without regard to ASCII case,
// as the registry does. Anything malformed (a line, a key header, a value) is
// skipped; a text that does not start with the header gives an empty registry.
class TWineRegistry {
public:
    enum : std::uint32_t { kSz = 1, kExpandSz = 2, kBinary = 3, kDword = 4 };

    struct TValue {
        std::uint32_t type = kSz;
        std::string text;               // string types, UTF-8
        std::uint32_t number = 0;       // kDword
        std::vector<std::uint8_t> data; // hex values
    };

    static TWineRegistry Parse(std::string_view text);
    // Reads and parses the file; empty when it is missing, unreadable, larger
    // than kMaxFileSize or not a Wine registry file.
    static TWineRegistry Load(const std::string &fileName);

    static constexpr std::uintmax_t kMaxFileSize = 256u << 20;

    bool KeyExists(std::string_view keyPath) const;
    // The value named `name` ("" for the default) of the key, any type.
    const TValue *Find(std::string_view keyPath, std::string_view name) const;
    // A string value (REG_SZ or REG_EXPAND_SZ, without expansion); nothing
    // when the key or value is missing or of another type.
    std::optional<std::string> ReadString(std::string_view keyPath, std::string_view name) const;

    // The values of a key (names lower-cased, as they are compared); nothing
    // when the key is missing.
    const std::map<std::string, TValue> *Values(std::string_view keyPath) const;
    // The names (lower-cased) of the keys directly below `keyPath`, in order.
    std::vector<std::string> SubKeys(std::string_view keyPath) const;

    std::size_t KeyCount() const { return keys_.size(); }

    // Lower-cased (ASCII) key path with single separators and no leading or
    // trailing "\": the form keys are looked up by.
    static std::string NormalKey(std::string_view path);

private:
    std::map<std::string, std::map<std::string, TValue>> keys_;
};
