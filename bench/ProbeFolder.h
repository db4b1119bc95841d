#pragma once

// The folder both probe benchmarks measure: a skin's worth of panels and knobs and a drum
// kit, PerKind each of panel<i>.bmp (96x64), knob<i>.jpg (320x240), bd<i>.wav and
// sd<i>.aif (0.1 s mono, 16-bit).

#include "formats/AIFFFile.h"
#include "formats/BmpFile.h"
#include "formats/JpegCodec.h"
#include "formats/WaveFile.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace probefolder {

inline QImage Picture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y, QColor((x * 7) & 255, (y * 5) & 255, (x ^ y) & 255));
    return image;
}

inline void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
}

inline void Write(const QString &folder, int PerKind)
{
    const QByteArray bmp = EncodeBmp24(Picture(96, 64));
    const QByteArray jpg = EncodeJpeg(Picture(320, 240), 90);
    std::vector<int16_t> samples(4410);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(12000 * std::sin(double(i) * 0.05));
    const TAudioFormat f{
        1, 16, 44100, int64_t(samples.size()), false, 0, reinterpret_cast<const uint8_t *>(samples.data())};
    const auto wav = TWaveFile::CreateNew(f, 1, 16);
    const auto aif = TAIFFFile::CreateNew(f, 1, 16);
    for (int i = 0; i < PerKind; ++i) {
        WriteBytes(folder + QString("/panel%1.bmp").arg(i), bmp);
        WriteBytes(folder + QString("/knob%1.jpg").arg(i), jpg);
        wav->SaveToFile(folder + QString("/bd%1.wav").arg(i));
        aif->SaveToFile(folder + QString("/sd%1.aif").arg(i));
    }
}

} // namespace probefolder
