#pragma once

#include <QByteArray>
#include <QString>

// Creates or replaces the file with the bytes so that readers see the old file or the whole
// new one, never a part: the bytes go to a temporary file beside it, are flushed to disk and
// renamed over it (TAtomicSave, which also removes what a killed save left there). A failure leaves the old
// file as it was and raises EModwright: "Cannot create file "<path>". <reason>" or "Cannot write file
// "<path>". <reason>".
void WriteFileAtomically(const QString &FileName, const QByteArray &Bytes);
