#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// A whole regular file mapped read-only, released on destruction. While it lives the file
// holds a shared advisory lock, so our own writers (which lock exclusively) refuse to
// overwrite a file that is being read, as the sharing rules of sample files ask.
// Raises EModwright: "Couldn't open %s." when the file cannot be opened, is no regular
// file, is locked by a writer or its size cannot be read; "CreateFileMapping failed: %s."
// for an empty file; "MapViewOfFile failed: %s." when the mapping itself fails.
class TMappedFile {
public:
    explicit TMappedFile(const QString &FileName);
    ~TMappedFile();
    TMappedFile(const TMappedFile &) = delete;
    TMappedFile &operator=(const TMappedFile &) = delete;

    const uint8_t *data() const { return data_; }
    size_t size() const { return size_; }

private:
    int fd_ = -1;
    const uint8_t *data_ = nullptr;
    size_t size_ = 0;
};
