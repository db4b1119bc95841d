#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Registry value types, numbered as the registry numbers them.
enum : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
};

// One named value of a key; the name "" is the key's default value ("@").
struct TRegValue {
    std::string name;
    std::uint32_t type = kRegSz;
    std::string text;               // kRegSz, kRegExpandSz (UTF-8)
    std::uint32_t number = 0;       // kRegDword
    std::vector<std::uint8_t> data; // every other type, as stored

    bool operator==(const TRegValue &) const = default;
};

struct TRegKeyData {
    std::string path; // below the root, "\"-separated, case as first written; "" is the root
    std::vector<TRegValue> values;
};

// The contents of one registry root in memory, and its text form: the regedit
// export format ("Windows Registry Editor Version 5.00", then "[ROOT\Key]" lines
// each followed by its values). Paths are relative to the root; key and value
// names compare without regard to ASCII case and keep their first spelling.
// Creating a key creates its parents, deleting one deletes its subkeys.
class TRegTree {
public:
    // Reads the text as far as it is sound: lines that cannot be parsed, keys of
    // another root, deletion entries ("[-...]", "=-") and values before any key
    // are skipped. Accepts LF or CR LF, a UTF-8 byte-order mark, and text in
    // UTF-16LE with its byte-order mark (as regedit itself exports).
    static TRegTree Parse(std::string_view text, std::string_view rootName);
    // The text form, with CR LF line ends, keys in tree order.
    std::string Serialize(std::string_view rootName) const;

    // A path with empty parts and surrounding "\" removed ("\A\\B\" -> "A\B").
    static std::string NormalizePath(std::string_view path);

    bool KeyExists(std::string_view path) const { return FindKey(path) != nullptr; }
    const TRegKeyData *FindKey(std::string_view path) const;
    TRegKeyData &CreateKey(std::string_view path);
    // Deletes the key with its subkeys; returns whether it existed. The root stays.
    bool DeleteKey(std::string_view path);
    // Names of the direct subkeys, in tree order.
    std::vector<std::string> SubKeyNames(std::string_view path) const;

    const TRegValue *FindValue(std::string_view path, std::string_view name) const;
    // Creates the key when needed; replaces a value of the same name (keeping its
    // spelling) or appends a new one.
    void SetValue(std::string_view path, TRegValue value);
    bool DeleteValue(std::string_view path, std::string_view name);

    std::size_t KeyCount() const { return keys_.size(); }

private:
    // Orders folded paths so that a key's subkeys follow it directly: "\" sorts
    // before every other character.
    struct TPathOrder {
        bool operator()(const std::string &a, const std::string &b) const;
    };
    TRegKeyData *FindKeyMutable(std::string_view path);

    std::map<std::string, TRegKeyData, TPathOrder> keys_; // by folded, normalised path
};
