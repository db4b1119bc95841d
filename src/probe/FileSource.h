#pragma once

#include "probe/ByteSource.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Which refusals a file source raises when it cannot open a file: an image says
// "Cannot open file "<name>". <reason>"; a sample file says "Couldn't open <name>." (also
// while a writer of ours holds its exclusive lock) and, when empty,
// "CreateFileMapping failed: <name>.", as the mapping of an assigned sample does, so that
// a probe and an assignment report a bad file alike.
enum class TOpenAs { Image, Sample };

// A regular file opened read-only, read at offsets without moving a file position. Opening
// never blocks: a FIFO or device is refused, not waited on. Small reads are served from one
// read-ahead block, so a header costs one read; a header further on (a JPEG frame behind a
// large APP segment, a WAV "fmt " behind a large chunk) costs one more block where it lies.
class TFileSource final : public TByteSource {
public:
    // Enough for the headers of an ordinary file, and a fraction of a page to copy.
    static constexpr size_t kProbeReadAhead = 512;

    // Path is handed to open() as it is; Shown names the file in messages.
    TFileSource(const char *Path, std::string Shown, TOpenAs As, size_t ReadAhead = kProbeReadAhead);
    ~TFileSource() override;
    TFileSource(const TFileSource &) = delete;
    TFileSource &operator=(const TFileSource &) = delete;

    // The length when the file was opened.
    uint64_t size() const override { return size_; }
    // Raises "Cannot read file "<name>". <reason>".
    size_t readAt(uint64_t Offset, uint8_t *Dest, size_t Count) override;
    const std::string &shownName() const { return shown_; }

private:
    size_t readDirect(uint64_t Offset, uint8_t *Dest, size_t Count);
    [[noreturn]] void refuse(const std::string &Message);

    std::string shown_;
    int fd_ = -1;
    uint64_t size_ = 0;
    size_t readAhead_;
    std::unique_ptr<uint8_t[]> ahead_;
    uint64_t aheadOffset_ = 0;
    size_t aheadLength_ = 0;
};
