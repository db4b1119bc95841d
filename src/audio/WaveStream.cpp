#include "audio/WaveStream.h"

#include "platform/Exception.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

uint32_t le32(const unsigned char *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t le16(const unsigned char *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

struct TChunk {
    int64_t body = 0; // offset of the first byte after the 8-byte header
    uint32_t size = 0;
};

// Walks the chunks from From to the end of the file (chunk bodies are padded to even
// lengths) and stops at the first with identifier Id. The walk is bounded by the file, not
// by the declared RIFF length, which writers often leave wrong.
bool findChunk(TBufferedFile &file, int64_t From, const char *Id, TChunk &Found)
{
    const int64_t end = file.size();
    for (int64_t at = From; at + 8 <= end;) {
        unsigned char header[8];
        file.seek(at);
        if (file.read(header, 8) != 8)
            return false;
        const uint32_t size = le32(header + 4);
        if (std::memcmp(header, Id, 4) == 0) {
            Found = TChunk{at + 8, size};
            return true;
        }
        at += 8 + int64_t(size) + (size & 1);
    }
    return false;
}

// The RIFF form of type WAVE: among the file's top-level chunks, or behind a 128-byte
// MacBinary header as the WAV reader accepts it too. Returns the offset of its first
// sub-chunk.
bool findWaveForm(TBufferedFile &file, int64_t &Body)
{
    const int64_t end = file.size();
    auto isWaveForm = [&](int64_t at) {
        unsigned char header[12];
        file.seek(at);
        return file.read(header, 12) == 12 && std::memcmp(header, "RIFF", 4) == 0 &&
               std::memcmp(header + 8, "WAVE", 4) == 0;
    };
    for (int64_t at = 0; at + 12 <= end;) {
        if (isWaveForm(at)) {
            Body = at + 12;
            return true;
        }
        unsigned char header[8];
        file.seek(at);
        if (file.read(header, 8) != 8)
            break;
        const uint32_t size = le32(header + 4);
        at += 8 + int64_t(size) + (size & 1);
    }
    if (isWaveForm(128)) {
        Body = 128 + 12;
        return true;
    }
    return false;
}

} // namespace

TWaveStream::TWaveStream(const QString &FileName) : file_(FileName)
{
    const std::string name = FileName.toStdString();
    int64_t form = 0;
    if (!findWaveForm(file_, form))
        throw EModwright(name + " is not a valid Wavefile (RIFF/WAVE chunk not found)");
    TChunk fmt;
    if (!findChunk(file_, form, "fmt ", fmt))
        throw EModwright(name + " is not a valid Wavefile ('fmt ' chunk not found)");
    // Format tag, channels, sample rate, byte rate, block align, bits per sample: the
    // first 16 bytes of the body are all that is needed, and a shorter body is broken.
    unsigned char body[16];
    file_.seek(fmt.body);
    if (fmt.size < sizeof body || file_.read(body, sizeof body) != sizeof body)
        throw EModwright("Error reading from " + name + " (format chunk)");
    const int channels = le16(body + 2);
    const uint32_t rate = le32(body + 4);
    bits_ = le16(body + 14);
    // Only linear PCM of 8 or 16 bits in one or two channels is turned into sound; other
    // widths would play as noise and more channels would not fit the mixing blocks.
    if (le16(body) != 1 || (bits_ != 8 && bits_ != 16) || (channels != 1 && channels != 2))
        throw EModwright("Format of " + name + " is not supported.");
    SetFormat(channels, int(std::min<uint32_t>(rate, INT_MAX)));
    bytesPerFrame_ = channels * (bits_ / 8); // the stored block align is not trusted
    // Any chunk order is accepted, as the WAV reader does.
    TChunk data;
    if (!findChunk(file_, form, "data", data))
        throw EModwright(name + " is not a valid Wavefile (data chunk not found)");
    totalFrames_ = data.size / uint32_t(bytesPerFrame_);
    if (totalFrames_ == 0)
        throw EModwright(name + " is not a valid Wavefile (data chunk has zero length)");
    position_ = 0;
    dataStart_ = data.body;
    file_.seek(dataStart_);
}

int TWaveStream::Read(float *Buffer, int Frames)
{
    std::lock_guard<std::mutex> g(lock_);
    int n = int(std::min<int64_t>(std::max(Frames, 0), int64_t(totalFrames_) - position_));
    if (n > 0) {
        const size_t got = file_.read(Buffer, size_t(n) * size_t(bytesPerFrame_));
        n = int(got / size_t(bytesPerFrame_));
        position_ += uint32_t(n);
    }
    ExpandSamples(Buffer, size_t(n) * size_t(Channels()), bits_, false);
    return n;
}
