#include "probe/ProbeCommand.h"

#include "probe/FileProbes.h"
#include "probe/Json.h"

#include <charconv>
#include <exception>
#include <string>

namespace {

constexpr size_t kOutputBlock = 64 * 1024;

void appendNumber(std::string &out, std::string_view key, int64_t value)
{
    out += ", \"";
    out += key;
    out += "\": ";
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, end);
}

// Appends the fields after "file" for one file; raises the probe's failure.
void appendFacts(std::string &out, const char *path)
{
    if (IsImageKind(KindOfName(path))) {
        const TImageInfo info = ProbeImageFile(path, path);
        out += ", \"type\": \"image\"";
        appendNumber(out, "width", info.Width);
        appendNumber(out, "height", info.Height);
        appendNumber(out, "bits", info.BitsPerPixel);
    } else {
        const TAudioFormat format = ProbeAudioFile(path, path);
        out += ", \"type\": \"audio\"";
        appendNumber(out, "channels", format.Channels);
        appendNumber(out, "bits", format.BitsPerSample);
        appendNumber(out, "rate", format.SampleRate);
        appendNumber(out, "frames", format.FrameCount);
        appendNumber(out, "dataSize", format.DataSize);
    }
}

} // namespace

bool ProbeFiles(std::span<const char *const> Files, const TProbeWriter &Write)
{
    bool allProbed = true;
    std::string pending;
    pending.reserve(kOutputBlock + 1024);
    for (const char *path : Files) {
        pending += "{\"file\": ";
        AppendJsonString(pending, path);
        const size_t factsStart = pending.size();
        try {
            appendFacts(pending, path);
        } catch (const std::exception &e) {
            allProbed = false;
            pending.resize(factsStart); // drop any part of the facts
            pending += ", \"error\": ";
            AppendJsonString(pending, e.what());
        }
        pending += "}\n";
        if (pending.size() >= kOutputBlock) {
            Write(pending);
            pending.clear();
        }
    }
    Write(pending);
    return allProbed;
}
