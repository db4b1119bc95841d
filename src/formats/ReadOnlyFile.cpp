#include "formats/ReadOnlyFile.h"

#include "platform/Exception.h"

#include <QFile>

TReadOnlyFile::TReadOnlyFile(const QString &FileName)
    : fileName_(FileName),
      file_(QFile::encodeName(FileName).constData(), FileName.toStdString(), TOpenAs::Image, kReadAhead)
{
}

QByteArray TReadOnlyFile::readAll(uint64_t MaxBytes)
{
    const uint64_t size = file_.size();
    if (size > MaxBytes)
        throw EModwright("File \"" + fileName_.toStdString() + "\" is too large.");
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    bytes.truncate(qsizetype(readAt(0, reinterpret_cast<uint8_t *>(bytes.data()), size_t(size))));
    return bytes;
}
