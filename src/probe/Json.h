#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Appends Text as a JSON string: quotes, backslashes and control characters escaped, every
// other byte as it is.
void AppendJsonString(std::string &Out, std::string_view Text);

// Builds one JSON object on one line, fields in the order they are added.
// The command-line companion prints one such line per result.
class TJsonLine {
public:
    TJsonLine &add(std::string_view key, std::string_view value);
    TJsonLine &add(std::string_view key, const char *value) { return add(key, std::string_view(value)); }
    TJsonLine &add(std::string_view key, int64_t value);
    TJsonLine &add(std::string_view key, int value) { return add(key, int64_t(value)); }
    TJsonLine &add(std::string_view key, uint32_t value) { return add(key, int64_t(value)); }
    TJsonLine &add(std::string_view key, bool value);
    TJsonLine &add(std::string_view key, const std::vector<std::string> &values);
    // A string, or null when `value` is empty.
    TJsonLine &addOrNull(std::string_view key, std::string_view value);
    std::string str() const { return "{" + body_ + "}"; }

    static std::string quote(std::string_view text);

private:
    void key(std::string_view k);
    std::string body_;
};
