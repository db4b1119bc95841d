#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <QtEndian>
#include <functional>
#include <ostream>

// Readable QStrings in test failures.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// Small files for the browser's detail columns, and a wait that keeps the event loop going.

namespace browser_fixtures {

inline void PutLE16(QByteArray &b, int v)
{
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

inline void PutLE32(QByteArray &b, int64_t v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// An uncompressed BMP with a 40-byte info header; pixels are zero.
inline QByteArray Bmp(int width, int height, int bitsPerPixel)
{
    const int stride = ((width * bitsPerPixel + 31) / 32) * 4;
    const int palette = bitsPerPixel <= 8 ? (1 << bitsPerPixel) * 4 : 0;
    const int pixels = stride * (height < 0 ? -height : height);
    QByteArray b("BM");
    PutLE32(b, 14 + 40 + palette + pixels); // file size
    PutLE32(b, 0);                          // reserved
    PutLE32(b, 14 + 40 + palette);          // pixel offset
    PutLE32(b, 40);                         // info header size
    PutLE32(b, width);
    PutLE32(b, height); // negative: top-down
    PutLE16(b, 1);      // planes
    PutLE16(b, bitsPerPixel);
    PutLE32(b, 0); // no compression
    PutLE32(b, pixels);
    PutLE32(b, 2835); // 72 dpi
    PutLE32(b, 2835);
    PutLE32(b, 0); // colours used
    PutLE32(b, 0); // important colours
    b.append(QByteArray(palette + pixels, '\0'));
    return b;
}

// A PCM WAV file with `frames` frames of silence.
inline QByteArray Wav(int channels, int bits, int rate, int frames)
{
    const int block = channels * bits / 8;
    const int data = frames * block;
    QByteArray b("RIFF");
    PutLE32(b, 4 + 8 + 16 + 8 + data + (data & 1));
    b.append("WAVE");
    b.append("fmt ");
    PutLE32(b, 16);
    PutLE16(b, 1); // PCM
    PutLE16(b, channels);
    PutLE32(b, rate);
    PutLE32(b, rate * block);
    PutLE16(b, block);
    PutLE16(b, bits);
    b.append("data");
    PutLE32(b, data);
    b.append(QByteArray(data + (data & 1), bits == 8 ? char(0x80) : '\0'));
    return b;
}

// Runs the event loop until the condition holds or the time is up; returns the condition.
inline bool WaitUntil(const std::function<bool()> &condition, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// Runs the event loop for a while.
inline void Spin(int ms)
{
    WaitUntil([] { return false; }, ms);
}

} // namespace browser_fixtures
