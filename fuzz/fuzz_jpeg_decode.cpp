// The libjpeg decoder on arbitrary bytes, fed once as one block and once a few bytes per
// read: either way it decodes or raises EModwright, never exits, and both ways agree.
#include "formats/JpegCodec.h"
#include "platform/Exception.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

// Hands out at most 7 bytes per read, so that every buffer refill and skip across a
// refill boundary in the source manager is exercised.
class TTrickleSource final : public TByteSource {
public:
    explicit TTrickleSource(std::span<const uint8_t> bytes) : inner_(bytes), size_(bytes.size()) {}
    uint64_t size() const override { return size_; }
    size_t readAt(uint64_t offset, uint8_t *dest, size_t count) override
    {
        return inner_.readAt(offset, dest, std::min<size_t>(count, 7));
    }

private:
    TMemorySource inner_;
    uint64_t size_;
};

std::optional<QImage> decode(auto &&call)
{
    try {
        return call();
    } catch (const EModwright &) {
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Small limits keep every input fast; the limit logic itself is the same.
    TJpegLimits limits;
    limits.MaxSide = 4096;
    limits.MaxPixels = 1 << 20;
    limits.MaxScans = 64;
    const std::span<const uint8_t> bytes(data, size);
    const std::optional<QImage> whole = decode([&] { return DecodeJpeg(bytes, limits); });
    TTrickleSource trickle(bytes);
    const std::optional<QImage> pieces = decode([&] { return DecodeJpeg(trickle, 0, limits); });
    if (whole.has_value() != pieces.has_value())
        __builtin_trap();
    if (whole && (whole->format() != QImage::Format_RGB888 || *whole != *pieces))
        __builtin_trap();
    return 0;
}
