#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

// Random access to the bytes of a file or of a block in memory. The header probes ask for a
// few bytes at a time through it, so that on a file they read only the headers, and in tests
// and fuzzing they run on plain memory.
class TByteSource {
public:
    virtual ~TByteSource() = default;
    // Total length in bytes.
    virtual uint64_t size() const = 0;
    // Copies up to Count bytes from Offset into Dest; returns how many were copied, fewer
    // (down to 0) at the end. Raises EModwright when the bytes cannot be read.
    virtual size_t readAt(uint64_t Offset, uint8_t *Dest, size_t Count) = 0;
};

// A block of memory that outlives the source.
class TMemorySource final : public TByteSource {
public:
    explicit TMemorySource(std::span<const uint8_t> Bytes) : bytes_(Bytes) {}

    uint64_t size() const override { return bytes_.size(); }
    size_t readAt(uint64_t Offset, uint8_t *Dest, size_t Count) override
    {
        if (Offset >= bytes_.size())
            return 0;
        const size_t n = std::min<uint64_t>(Count, bytes_.size() - Offset);
        std::memcpy(Dest, bytes_.data() + Offset, n);
        return n;
    }

private:
    std::span<const uint8_t> bytes_;
};
