#include "platform/WineCommand.h"

#include "platform/TextUtil.h"

namespace {

std::size_t CharacterCount(std::string_view utf8)
{
    std::size_t n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::string CommandProgram(std::string_view command, const std::function<bool(const std::string &)> &isFile)
{
    command = TrimBlanks(command);
    if (command.empty())
        return {};
    if (command.front() == '"') {
        const std::size_t close = command.find('"', 1);
        return std::string(
            command.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    }
    // A long unquoted string is tried at its first blanks only: no command
    // that anybody writes has more than a few blanks in its program's path.
    int tries = 0;
    for (std::size_t end = 0; end <= command.size() && tries < 64; ++end) {
        if (end < command.size() && !IsBlank(command[end]))
            continue;
        ++tries;
        const std::string candidate(command.substr(0, end));
        if (isFile(candidate))
            return candidate;
        if (!SameTextAscii(candidate.size() >= 4 ? std::string_view(candidate).substr(candidate.size() - 4)
                                                 : "",
                           ".exe") &&
            isFile(candidate + ".exe"))
            return candidate + ".exe";
    }
    std::size_t blank = 0;
    while (blank < command.size() && !IsBlank(command[blank]))
        ++blank;
    return std::string(command.substr(0, blank));
}

std::string UninstallerProgram(std::string_view text, const std::function<bool(const std::string &)> &isFile)
{
    if (CharacterCount(text) < 3)
        return {};
    if (text.front() == '"' && text.find('"', 1) != std::string_view::npos)
        return CommandProgram(text, isFile);
    if (text.front() == '"')
        text.remove_prefix(1);
    if (!text.empty() && text.back() == '"')
        text.remove_suffix(1);
    return CommandProgram(text, isFile);
}
