#pragma once

#include "probe/ByteSource.h"
#include "probe/FileSource.h"

#include <QByteArray>
#include <QString>

// A regular file opened for reading, read at offsets without moving a file position. Opening
// never blocks (a FIFO or device named like an image is refused, not waited on) and fails
// with the message "Cannot open file "<path>". <reason>". The Qt face of TFileSource.
class TReadOnlyFile final : public TByteSource {
public:
    explicit TReadOnlyFile(const QString &FileName);

    // The length when the file was opened.
    uint64_t size() const override { return file_.size(); }
    size_t readAt(uint64_t Offset, uint8_t *Dest, size_t Count) override
    {
        return file_.readAt(Offset, Dest, Count);
    }
    // The whole file; raises when it is longer than MaxBytes.
    QByteArray readAll(uint64_t MaxBytes);

    const QString &fileName() const { return fileName_; }

private:
    // A decoder refills its buffer a few kilobytes at a time; a read-ahead of a page serves
    // the headers it reads first in one read.
    static constexpr size_t kReadAhead = 4096;

    QString fileName_;
    TFileSource file_;
};
