#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

// Sequential reading of a file through a buffer of its own, for voices that stream their
// samples from disk instead of loading the file whole. A read that meets the end of the
// file, or fails, delivers fewer bytes than asked; it never raises.
class TBufferedFile {
public:
    static constexpr size_t BufferSize = 16384;

    // Raises "Couldn't open <FileName>" when the file cannot be opened for reading or is no
    // regular file.
    explicit TBufferedFile(const QString &FileName);
    ~TBufferedFile();
    TBufferedFile(const TBufferedFile &) = delete;
    TBufferedFile &operator=(const TBufferedFile &) = delete;

    size_t read(void *Data, size_t Count);
    void seek(int64_t Offset) { pos_ = Offset < 0 ? 0 : Offset; }
    int64_t position() const { return pos_; }
    // The file's size now.
    int64_t size() const;

private:
    int fd_ = -1;
    std::unique_ptr<char[]> buffer_;
    int64_t bufferStart_ = 0; // file offset of buffer_[0]
    size_t bufferLength_ = 0;
    int64_t pos_ = 0;
};
