#include "platform/WineRegistry.h"

#include "platform/RegTree.h"
#include "platform/TextUtil.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Wine escapes characters as UTF-16 code units; a surrogate pair arrives as
// two escapes. A lone surrogate becomes U+FFFD.
class TUtf16Sink {
public:
    explicit TUtf16Sink(std::string &out) : out_(out) {}
    ~TUtf16Sink() { Flush(); }

    void Unit(char32_t unit)
    {
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            Flush();
            high_ = unit;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (high_) {
                AppendUtf8(out_, 0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00));
                high_ = 0;
            } else {
                AppendUtf8(out_, 0xFFFD);
            }
        } else {
            Flush();
            AppendUtf8(out_, unit);
        }
    }
    void Byte(char c)
    {
        Flush();
        out_ += c;
    }
    void Flush()
    {
        if (high_)
            AppendUtf8(out_, 0xFFFD);
        high_ = 0;
    }

private:
    std::string &out_;
    char32_t high_ = 0;
};

// Reads escaped text from `pos` up to the unescaped `terminator`, leaving `pos`
// just after it. False when the terminator is missing.
bool ReadEscaped(std::string_view line, std::size_t &pos, char terminator, std::string &out)
{
    TUtf16Sink sink(out);
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == terminator)
            return true;
        if (c != '\\') {
            sink.Byte(c);
            continue;
        }
        if (pos >= line.size())
            return false;
        const char e = line[pos++];
        // C's letter escapes, as Wine writes control characters.
        static constexpr std::string_view kLetters = "abefnrtv";
        static constexpr char32_t kCodes[] = {7, 8, 27, 12, 10, 13, 9, 11};
        if (const std::size_t letter = kLetters.find(e); letter != std::string_view::npos) {
            sink.Unit(kCodes[letter]);
            continue;
        }
        switch (e) {
        case 'x': {
            char32_t unit = 0;
            int digits = 0;
            while (digits < 4 && pos < line.size() && HexDigit(line[pos]) >= 0) {
                unit = unit * 16 + static_cast<char32_t>(HexDigit(line[pos++]));
                ++digits;
            }
            if (digits == 0)
                sink.Byte('x'); // "\x" without digits: the letter itself
            else
                sink.Unit(unit);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                char32_t unit = static_cast<char32_t>(e - '0');
                for (int i = 0; i < 2 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7'; ++i)
                    unit = unit * 8 + static_cast<char32_t>(line[pos++] - '0');
                sink.Unit(unit);
            } else {
                sink.Byte(e); // "\\", "\"", "\[", "\]" and anything else: the character itself
            }
        }
    }
    return false;
}

// Up to 8 hex digits at `pos`; nothing when there are none or more than 8.
std::optional<std::uint32_t> ReadHexNumber(std::string_view line, std::size_t &pos)
{
    std::uint32_t n = 0;
    int digits = 0;
    while (pos < line.size() && HexDigit(line[pos]) >= 0) {
        if (++digits > 8)
            return std::nullopt;
        n = n * 16 + static_cast<std::uint32_t>(HexDigit(line[pos++]));
    }
    if (digits == 0)
        return std::nullopt;
    return n;
}

bool StartsWith(std::string_view s, std::size_t pos, std::string_view prefix)
{
    return s.size() >= pos && s.substr(pos).starts_with(prefix);
}

// Bytes "01,02,ff" (blanks allowed, a trailing comma too); false on anything else.
bool ReadHexBytes(std::string_view text, std::vector<std::uint8_t> &data)
{
    std::size_t pos = 0;
    while (true) {
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        if (pos >= text.size())
            return true;
        if (pos + 1 >= text.size() || HexDigit(text[pos]) < 0 || HexDigit(text[pos + 1]) < 0)
            return false;
        data.push_back(static_cast<std::uint8_t>(HexDigit(text[pos]) * 16 + HexDigit(text[pos + 1])));
        pos += 2;
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        if (pos >= text.size())
            return true;
        if (text[pos++] != ',')
            return false;
    }
}

// A string stored as hex(1) or hex(2): UTF-16LE up to the first NUL.
std::string Utf16Text(const std::vector<std::uint8_t> &data)
{
    std::string out;
    TUtf16Sink sink(out);
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const char32_t unit = data[i] | (data[i + 1] << 8);
        if (unit == 0)
            break;
        sink.Unit(unit);
    }
    sink.Flush();
    return out;
}

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Splits the text into lines, without their line ends.
std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// The value after "=": its type prefix and data. `more` yields continuation
// lines of hex data. Nothing when malformed.
template <typename TMore>
std::optional<TWineRegistry::TValue> ReadValue(std::string_view line, std::size_t pos, TMore &&more)
{
    TWineRegistry::TValue value;
    if (StartsWith(line, pos, "\"")) {
        ++pos;
        if (!ReadEscaped(line, pos, '"', value.text))
            return std::nullopt;
        return value;
    }
    if (StartsWith(line, pos, "str(")) {
        pos += 4;
        const auto type = ReadHexNumber(line, pos);
        if (!type || !StartsWith(line, pos, "):\""))
            return std::nullopt;
        pos += 3;
        value.type = *type;
        if (!ReadEscaped(line, pos, '"', value.text))
            return std::nullopt;
        return value;
    }
    if (StartsWith(line, pos, "dword:")) {
        pos += 6;
        const auto n = ReadHexNumber(line, pos);
        if (!n || !TrimRight(line.substr(pos)).empty())
            return std::nullopt;
        value.type = TWineRegistry::kDword;
        value.number = *n;
        return value;
    }
    if (StartsWith(line, pos, "hex")) {
        pos += 3;
        value.type = TWineRegistry::kBinary;
        if (StartsWith(line, pos, "(")) {
            ++pos;
            const auto type = ReadHexNumber(line, pos);
            if (!type || !StartsWith(line, pos, ")"))
                return std::nullopt;
            ++pos;
            value.type = *type;
        }
        if (!StartsWith(line, pos, ":"))
            return std::nullopt;
        std::string_view part = TrimRight(line.substr(pos + 1));
        bool ok = true;
        while (true) {
            const bool continued = !part.empty() && part.back() == '\\';
            if (continued)
                part.remove_suffix(1);
            ok = ReadHexBytes(part, value.data) && ok;
            if (!continued)
                break;
            const std::optional<std::string_view> next = more();
            if (!next)
                break;
            part = TrimRight(TrimLeft(*next));
        }
        if (!ok)
            return std::nullopt;
        if (value.type == TWineRegistry::kSz || value.type == TWineRegistry::kExpandSz)
            value.text = Utf16Text(value.data);
        return value;
    }
    return std::nullopt;
}

} // namespace

std::string TWineRegistry::NormalKey(std::string_view path)
{
    return AsciiFold(TRegTree::NormalizePath(path));
}

TWineRegistry TWineRegistry::Parse(std::string_view text)
{
    TWineRegistry reg;
    const std::vector<std::string_view> lines = Lines(text);
    if (lines.empty() || TrimRight(lines[0]) != kHeader)
        return reg;

    std::map<std::string, TValue> *key = nullptr; // values before the first good key header are dropped
    std::size_t i = 1;
    while (i < lines.size()) {
        const std::string_view line = TrimLeft(lines[i++]);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            std::size_t pos = 1;
            std::string path;
            // A header without its "]" leaves the values that follow without a key.
            key = ReadEscaped(line, pos, ']', path) ? &reg.keys_[NormalKey(path)] : nullptr;
            continue;
        }
        std::size_t pos = 0;
        std::string name;
        if (line[0] == '@') {
            pos = 1;
        } else if (line[0] == '"') {
            pos = 1;
            if (!ReadEscaped(line, pos, '"', name))
                continue;
        } else {
            continue;
        }
        if (!StartsWith(line, pos, "="))
            continue;
        // A continuation never swallows the next key or value: a cut-off hex
        // value must not take the key after it along.
        auto more = [&]() -> std::optional<std::string_view> {
            if (i >= lines.size())
                return std::nullopt;
            const std::string_view next = TrimLeft(lines[i]);
            if (!next.empty() && (next[0] == '[' || next[0] == '"' || next[0] == '@'))
                return std::nullopt;
            return lines[i++];
        };
        std::optional<TValue> value = ReadValue(line, pos + 1, more);
        if (value && key)
            (*key)[AsciiFold(name)] = std::move(*value);
    }
    return reg;
}

TWineRegistry TWineRegistry::Load(const std::string &fileName)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    if (error || size > kMaxFileSize)
        return {};
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return Parse(text);
}

bool TWineRegistry::KeyExists(std::string_view keyPath) const
{
    return keys_.count(NormalKey(keyPath)) != 0;
}

const TWineRegistry::TValue *TWineRegistry::Find(std::string_view keyPath, std::string_view name) const
{
    const auto key = keys_.find(NormalKey(keyPath));
    if (key == keys_.end())
        return nullptr;
    const auto value = key->second.find(AsciiFold(name));
    return value == key->second.end() ? nullptr : &value->second;
}

std::optional<std::string> TWineRegistry::ReadString(std::string_view keyPath, std::string_view name) const
{
    const TValue *value = Find(keyPath, name);
    if (!value || (value->type != kSz && value->type != kExpandSz))
        return std::nullopt;
    return value->text;
}

const std::map<std::string, TWineRegistry::TValue> *TWineRegistry::Values(std::string_view keyPath) const
{
    const auto key = keys_.find(NormalKey(keyPath));
    return key == keys_.end() ? nullptr : &key->second;
}

std::vector<std::string> TWineRegistry::SubKeys(std::string_view keyPath) const
{
    const std::string parent = NormalKey(keyPath) + "\\";
    std::vector<std::string> names;
    // Keys are sorted, so the subkeys of a key follow it; deeper keys are skipped.
    for (auto it = keys_.lower_bound(parent); it != keys_.end() && it->first.starts_with(parent); ++it) {
        const std::string rest = it->first.substr(parent.size());
        if (!rest.empty() && rest.find('\\') == std::string::npos)
            names.push_back(rest);
    }
    return names;
}
