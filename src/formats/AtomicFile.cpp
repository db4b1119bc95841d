#include "formats/AtomicFile.h"

#include "platform/AtomicSave.h"
#include "platform/Exception.h"

#include <QFile>
#include <cstring>

void WriteFileAtomically(const QString &FileName, const QByteArray &Bytes)
{
    auto fail = [&](const char *what, int error) {
        throw EModwright(std::string(what) + " \"" + FileName.toStdString() + "\". " + std::strerror(error));
    };
    TAtomicSave save(QFile::encodeName(FileName).toStdString());
    if (const int error = save.Open())
        fail("Cannot create file", error);
    int error = save.Write(Bytes.constData(), size_t(Bytes.size()));
    if (error == 0)
        error = save.Commit();
    if (error != 0)
        fail("Cannot write file", error);
}
