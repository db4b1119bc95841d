// The JFIF signature test, on memory and on a stream: both must agree, and the stream must
// be left at the data offset (0 or 128) on success and at its start on failure.
#include "formats/Probes.h"
#include "probe/ImageProbes.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TMemorySource source({data, size});
    const std::optional<uint64_t> offset = JpegDataOffset(source);
    if (offset && *offset != 0 && *offset != 128)
        __builtin_trap();

    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    const bool accepted = CheckJpegHeader(stream);
    if (accepted != offset.has_value())
        __builtin_trap();
    if (stream.pos() != (accepted ? qint64(*offset) : 0))
        __builtin_trap();
    return 0;
}
