#pragma once

// A current assignment with both lists, a scripted messages window, message
// boxes and settings, over a temporary folder; and builders for the sample and
// image files the tests assign, written byte by byte so that the code under
// test never checks itself.

#include "common/MessageBoxes.h"
#include "formats/JpegCodec.h"
#include "modbuild/BuildContext.h"
#include "modbuild/BuildDialogs.h"
#include "modbuild/ComponentCheck.h"
#include "model/AssignmentSet.h"
#include "support/TestDir.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

// Readable test failures.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace fixture {

inline void put16le(QByteArray &b, uint32_t v)
{
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}
inline void put32le(QByteArray &b, uint32_t v)
{
    put16le(b, v & 0xFFFF);
    put16le(b, v >> 16);
}
inline void put16be(QByteArray &b, uint32_t v)
{
    b += char((v >> 8) & 0xFF);
    b += char(v & 0xFF);
}
inline void put32be(QByteArray &b, uint32_t v)
{
    put16be(b, v >> 16);
    put16be(b, v & 0xFFFF);
}

// Sample points as signed values on their own scale (-128..127 or -32768..32767),
// interleaved left, right for stereo.
inline QByteArray WavBytes(int channels, int bits, uint32_t rate, const std::vector<int> &points)
{
    QByteArray data;
    for (int v : points) {
        if (bits == 8)
            data += char(uint8_t(v + 128)); // WAV 8-bit is unsigned, silence at 128
        else
            put16le(data, uint16_t(int16_t(v)));
    }
    QByteArray b("RIFF");
    put32le(b, 36 + uint32_t(data.size()));
    b += "WAVEfmt ";
    put32le(b, 16); // fmt chunk size
    put16le(b, 1);  // PCM
    put16le(b, uint16_t(channels));
    put32le(b, rate);
    put32le(b, rate * uint32_t(channels * bits / 8)); // bytes per second
    put16le(b, uint16_t(channels * bits / 8));        // block align
    put16le(b, uint16_t(bits));
    b += "data";
    put32le(b, uint32_t(data.size()));
    return b + data;
}

// 80-bit extended value of a whole rate below 2^31.
inline QByteArray Extended(uint32_t rate)
{
    int exponent = 16383 + 31;
    uint32_t mantissa = rate;
    while (!(mantissa & 0x80000000u)) {
        mantissa <<= 1;
        --exponent;
    }
    QByteArray b;
    put16be(b, uint32_t(exponent));
    put32be(b, mantissa);
    put32be(b, 0);
    return b;
}

inline QByteArray AiffBytes(int channels, int bits, uint32_t rate, const std::vector<int> &points)
{
    QByteArray data;
    for (int v : points) {
        if (bits == 8)
            data += char(int8_t(v)); // AIFF 8-bit is signed
        else
            put16be(data, uint16_t(int16_t(v)));
    }
    const uint32_t frames = uint32_t(points.size() / size_t(channels));
    QByteArray b("FORM");
    put32be(b, 4 + 26 + 16 + uint32_t(data.size()));
    b += "AIFFCOMM";
    put32be(b, 18);
    put16be(b, uint16_t(channels));
    put32be(b, frames);
    put16be(b, uint16_t(bits));
    b += Extended(rate);
    b += "SSND";
    put32be(b, 8 + uint32_t(data.size()));
    put32be(b, 0); // offset
    put32be(b, 0); // block size
    return b + data;
}

// What a written sample file holds, read here by hand: the container's fields
// and the sample points as signed values.
struct TSamples {
    QByteArray container; // "WAVE" or "AIFF"
    int channels = 0;
    int bits = 0;
    uint32_t rate = 0;
    std::vector<int> points;
};

inline uint32_t get32le(const QByteArray &b, qsizetype at)
{
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
inline uint32_t get16be(const QByteArray &b, qsizetype at)
{
    return uint32_t(uint8_t(b[at])) << 8 | uint8_t(b[at + 1]);
}
inline uint32_t get32be(const QByteArray &b, qsizetype at)
{
    return get16be(b, at) << 16 | get16be(b, at + 2);
}

// Reads the canonical 44-byte WAV or 54-byte AIFF that the program writes.
inline TSamples ReadSamples(const QByteArray &b)
{
    TSamples s;
    if (b.startsWith("RIFF") && b.size() >= 44) {
        s.container = "WAVE";
        s.channels = uint8_t(b[22]);
        s.rate = get32le(b, 24);
        s.bits = uint8_t(b[34]);
        const uint32_t size = get32le(b, 40);
        for (qsizetype i = 44; i + 1 < 44 + qsizetype(size) && i + 1 < b.size(); i += 2)
            s.points.push_back(int16_t(uint8_t(b[i]) | uint8_t(b[i + 1]) << 8));
    } else if (b.startsWith("FORM") && b.size() >= 54) {
        s.container = b.mid(8, 4);
        s.channels = int(get16be(b, 20));
        s.bits = int(get16be(b, 26));
        const int exponent = int(get16be(b, 28)) - 16383;
        s.rate = get32be(b, 30) >> (31 - exponent);
        for (qsizetype i = 54; i + 1 < b.size(); i += 2)
            s.points.push_back(int16_t(get16be(b, i)));
    }
    return s;
}

// A picture whose every pixel differs from its neighbours in a smooth way, so
// that a JPEG of it stays close at high quality.
inline QImage Gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           qRgb(x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1), 128));
    return image;
}

inline QByteArray ImageBytes(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

inline QByteArray BmpBytes(const QImage &image)
{
    return ImageBytes(image, "BMP");
}

inline QByteArray JpegBytes(const QImage &image, int quality = 95)
{
    return EncodeJpeg(image, quality);
}

// The same JPEG with its APP0 (JFIF) segment replaced by an EXIF APP1 segment.
inline QByteArray ExifJpeg(const QImage &image)
{
    const QByteArray jfif = JpegBytes(image);
    const int app0Length = int(get16be(jfif, 4));
    QByteArray exif("\xFF\xD8\xFF\xE1", 4);
    QByteArray body("Exif\0\0", 6);
    body += QByteArray(8, '\0');
    put16be(exif, uint32_t(body.size() + 2));
    exif += body;
    return exif + jfif.mid(4 + app0Length);
}

// Largest difference of one colour channel between two pictures of one size.
inline int MaxChannelDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

inline bool SamePixels(const QImage &a, const QImage &b)
{
    return a.size() == b.size() && MaxChannelDifference(a, b) == 0;
}

} // namespace fixture

// Dialogs answered by the test.
class TTestDialogs : public TBuildDialogs {
public:
    bool EditModTexts() override
    {
        ++textsShown;
        return textsOk;
    }
    void EditProgramPaths() override
    {
        ++pathsShown;
        if (onEditPaths)
            onEditPaths();
    }
    bool AskToSave() override { return saveOk; }
    uint32_t WaitForModPacker(TProcess &process) override;
    void Repaint() override { ++repaints; }

    bool textsOk = true;
    bool saveOk = true;
    int textsShown = 0;
    int pathsShown = 0;
    int repaints = 0;
    std::function<void()> onEditPaths;
};

// The catalogue is global: each test starts with nothing assigned.
class TBuildTest : public ::testing::Test {
protected:
    TBuildTest()
        : images(TAssignmentRows::images()), drums(TAssignmentRows::drums()),
          set(drums, images, messages), ctx{set, settings, progress}
    {
        for (int i = 0; i < LiveEntryCount; ++i)
            LiveEntry(i).path.clear();
        InstallComponentCheck(set, settings);
    }
    ~TBuildTest() override
    {
        for (int i = 0; i < LiveEntryCount; ++i)
            LiveEntry(i).path.clear();
    }

    static void SetUpTestSuite() { CreateCatalogue(); }

    TAssignmentData &image(int index) { return *images.find(true, index); }
    TAssignmentData &drum(int index) { return *drums.find(false, index); }
    // Assigns through the set, failing the test when the check refuses.
    void assign(TAssignmentData &row, const QString &path) { set.AssignFile(row, path); }

    QStringList entries(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

    TTestDir dir;
    TAssignmentRows images;
    TAssignmentRows drums;
    TMessageList messages;
    TAssignmentSet set;
    TBuildSettings settings;
    TNoProgress progress;
    TBuildContext ctx;
    TScriptedMessageBoxes boxes;
    TTestDialogs dialogs;
};

#include "platform/Process.h"

inline uint32_t TTestDialogs::WaitForModPacker(TProcess &process)
{
    return process.Wait();
}
