#pragma once

// Byte-order helpers for the sample file parsers and writers. Every read takes a pointer
// the caller has already checked against the bytes present.

#include "platform/Exception.h"
#include "probe/ByteSource.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace audiobytes {

inline uint16_t le16(const uint8_t *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t le32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint16_t be16(const uint8_t *p)
{
    return uint16_t((p[0] << 8) | p[1]);
}
inline uint32_t be32(const uint8_t *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline void putLe16(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void putLe32(uint8_t *p, uint32_t v)
{
    putLe16(p, v);
    putLe16(p + 2, v >> 16);
}
inline void putBe16(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
inline void putBe32(uint8_t *p, uint32_t v)
{
    putBe16(p, v >> 16);
    putBe16(p + 2, v);
}

// Four-character chunk identifiers compare as raw bytes, so case matters.
inline bool isId(const uint8_t *p, const char *id)
{
    return std::memcmp(p, id, 4) == 0;
}
inline void putId(uint8_t *p, const char *id)
{
    std::memcpy(p, id, 4);
}
inline std::string idText(const char *id)
{
    return std::string(id, 4);
}

// Where a parser reads its bytes: every at(pos, n) names bytes the caller has already
// checked against size(); the pointer holds until the next call.
class TMemoryBytes {
public:
    TMemoryBytes(const uint8_t *Image, size_t Size) : image_(Image), size_(Size) {}
    uint64_t size() const { return size_; }
    const uint8_t *at(uint64_t pos, size_t) const { return image_ + pos; }

private:
    const uint8_t *image_;
    size_t size_;
};

// A file read a few bytes at a time, for probes that need the headers only: the first
// 512 bytes come in one read, which holds the whole header of an ordinary file; chunk
// headers further on are asked of the source one by one (a file source reads a small block
// around each).
class TSourceBytes {
public:
    explicit TSourceBytes(TByteSource &Source) : source_(Source), size_(Source.size())
    {
        headLength_ = Source.readAt(0, head_, sizeof head_);
    }
    uint64_t size() const { return size_; }
    const uint8_t *at(uint64_t pos, size_t n)
    {
        if (pos + n <= headLength_)
            return head_ + pos;
        if (n > sizeof scratch_ || source_.readAt(pos, scratch_, n) != n)
            throw EModwright("The file changed while it was read.");
        return scratch_;
    }

private:
    TByteSource &source_;
    uint64_t size_;
    uint8_t head_[512];
    size_t headLength_ = 0;
    uint8_t scratch_[32];
};

// The chunk walk shared by RIFF and IFF: from offset base + 12, while a whole 8-byte chunk
// header is present, stop at the sought identifier or skip 8 + length + pad byte of odd
// lengths. Returns the offset of the chunk's header from base, or nothing when it is
// absent. A found chunk that runs past the end raises "<corruptPrefix><id>)". Offsets and
// lengths are 64-bit: a 32-bit length near 4 GiB steps past the end and ends the walk, it
// never wraps round to an earlier offset, and every step moves forward by at least 8 bytes.
template <class TBytes>
std::optional<size_t> findChunk(TBytes &bytes, uint64_t base, const char *id, bool bigEndian,
                                const char *corruptPrefix)
{
    const uint64_t size = bytes.size() - base;
    uint64_t pos = 12;
    while (size >= 8 && pos <= size - 8) {
        const uint8_t *header = bytes.at(base + pos, 8);
        const uint64_t length = bigEndian ? be32(header + 4) : le32(header + 4);
        if (isId(header, id)) {
            if (size - pos < length + 8)
                throw EModwright(corruptPrefix + idText(id) + ")");
            return size_t(pos);
        }
        pos += 8 + length + (length & 1);
    }
    return std::nullopt;
}

} // namespace audiobytes
