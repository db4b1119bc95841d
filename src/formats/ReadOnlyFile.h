#pragma once

#include "formats/ByteSource.h"

#include <QByteArray>
#include <QString>
#include <memory>

// A regular file opened for reading, read at offsets without moving a file position. Opening
// never blocks (a FIFO or device named like an image is refused, not waited on) and fails
// with the message "Cannot open file "<path>". <reason>".
class TReadOnlyFile final : public TByteSource {
public:
    explicit TReadOnlyFile(const QString &FileName);
    ~TReadOnlyFile() override;
    TReadOnlyFile(const TReadOnlyFile &) = delete;
    TReadOnlyFile &operator=(const TReadOnlyFile &) = delete;

    // The length when the file was opened.
    uint64_t size() const override { return size_; }
    size_t readAt(uint64_t Offset, uint8_t *Dest, size_t Count) override;
    // The whole file; raises when it is longer than MaxBytes.
    QByteArray readAll(uint64_t MaxBytes);

    const QString &fileName() const { return fileName_; }

private:
    size_t readDirect(uint64_t Offset, uint8_t *Dest, size_t Count);

    QString fileName_;
    int fd_ = -1;
    uint64_t size_ = 0;
    // The header probes ask for a few bytes at a time; small reads are served from one
    // read-ahead block, so that probing a header costs one read instead of several.
    static constexpr size_t kReadAhead = 4096;
    std::unique_ptr<uint8_t[]> ahead_;
    uint64_t aheadOffset_ = 0;
    size_t aheadLength_ = 0;
};
