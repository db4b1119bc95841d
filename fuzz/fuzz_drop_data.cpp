// Feeds arbitrary bytes to the readers of dropped and pasted data: the uri-list of a file
// drop, and the drop list over MIME data holding the bytes.
// Whatever comes back must be local paths that round-trip through the uri-list writer.

#include "common/DropData.h"

#include <QMimeData>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList rejected;
    const QStringList files = UriListToFileList(bytes, &rejected);
    for (const QString &file : files)
        if (file.isEmpty())
            std::abort();
    if (UriListToFileList(FileListToUriList(files)) != files)
        std::abort();

    // MIME data keeps an uri-list in its own normal form: what the drop list reads from it
    // obeys the same rules.
    QMimeData mimeData;
    mimeData.setData(QStringLiteral("text/uri-list"), bytes);
    try {
        TMyDropDataList list(&mimeData);
        for (const QString &file : list.Files())
            if (file.isEmpty())
                std::abort();
    } catch (const EMyOLEDragDropInterfaceException &) {
        std::abort(); // the format is offered: reading it must not fail
    }
    return 0;
}
