#include "probe/FileProbes.h"

#include "platform/Exception.h"
#include "probe/AiffHeaders.h"
#include "probe/FileSource.h"
#include "probe/ImageProbes.h"
#include "probe/WaveHeaders.h"

#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// The message of a BMP probe failure names the file on a line of its own; the
// program's messages keep CR LF line breaks, and the windows show them as one break.
constexpr const char *kMessageLineBreak = "\r\n";

} // namespace

TFileKind KindOfName(std::string_view Name)
{
    // No letter of the five extensions has a non-ASCII case variant, so comparing bytes
    // ignoring ASCII case is exact for UTF-8 names, and a name that is not UTF-8 compares
    // as the bytes it is.
    const size_t dot = Name.rfind('.');
    const size_t slash = Name.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && slash > dot))
        return TFileKind::Other;
    const std::string_view ext = Name.substr(dot);
    if (sameIgnoringAsciiCase(ext, ".bmp"))
        return TFileKind::Bmp;
    if (sameIgnoringAsciiCase(ext, ".jpg"))
        return TFileKind::Jpeg;
    if (sameIgnoringAsciiCase(ext, ".gif"))
        return TFileKind::Gif;
    if (sameIgnoringAsciiCase(ext, ".aif"))
        return TFileKind::Aiff;
    if (sameIgnoringAsciiCase(ext, ".wav"))
        return TFileKind::Wave;
    return TFileKind::Other;
}

TImageInfo ProbeImageFile(const char *Path, std::string_view Shown)
{
    switch (KindOfName(Path)) {
    case TFileKind::Bmp: {
        TFileSource file(Path, std::string(Shown), TOpenAs::Image);
        try {
            return ProbeBmp(file);
        } catch (const EModwright &e) {
            throw EModwright(e.message() + kMessageLineBreak + "(" + AbsolutePath(Path) + ")");
        }
    }
    case TFileKind::Jpeg: {
        TFileSource file(Path, std::string(Shown), TOpenAs::Image);
        return ProbeJpeg(file);
    }
    case TFileKind::Gif: {
        TFileSource file(Path, std::string(Shown), TOpenAs::Image);
        return ProbeGif(file);
    }
    default:
        throw EModwright("No valid BMP/JPG/GIF file.");
    }
}

TAudioFormat ProbeAudioFile(const char *Path, std::string_view Shown)
{
    switch (KindOfName(Path)) {
    case TFileKind::Aiff: {
        TFileSource file(Path, std::string(Shown), TOpenAs::Sample);
        return ReadAiffFormat(file);
    }
    case TFileKind::Wave: {
        TFileSource file(Path, std::string(Shown), TOpenAs::Sample);
        return ReadWaveFormat(file);
    }
    default:
        throw EModwright("No valid WAV/AIFF file.");
    }
}

std::string AbsolutePath(std::string_view Path)
{
    std::string joined;
    if (Path.empty() || Path.front() != '/') {
        if (char *cwd = ::getcwd(nullptr, 0)) {
            joined = cwd;
            std::free(cwd);
        }
        joined += '/';
    }
    joined += Path;

    const bool absolute = !joined.empty() && joined.front() == '/';
    std::vector<std::string_view> parts;
    const std::string_view all(joined);
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find('/', start);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view part = all.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else
                parts.push_back(part); // kept, at the root too, as Qt's cleaning keeps it
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result = absolute ? "/" : "";
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += '/';
        result += parts[i];
    }
    return result.empty() ? "." : result;
}
