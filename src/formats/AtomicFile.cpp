#include "formats/AtomicFile.h"

#include "platform/Exception.h"

#include <QSaveFile>

void WriteFileAtomically(const QString &FileName, const QByteArray &Bytes)
{
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EModwright("Cannot create file \"" + FileName.toStdString() + "\". " +
                         file.errorString().toStdString());
    if (file.write(Bytes) != Bytes.size() || !file.commit()) {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        throw EModwright("Cannot write file \"" + FileName.toStdString() + "\". " + reason);
    }
}
