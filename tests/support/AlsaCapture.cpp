#include "support/AlsaCapture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QtEndian>

namespace {

void WriteWhole(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

QString FilePcm(const QString &name, const QString &file, bool hint)
{
    return "pcm." + name + " {\n    type file\n    slave.pcm { type null }\n    file \"" + file +
           "\"\n    format \"raw\"\n" + (hint ? "    hint { show on description \"Test output\" }\n" : "") +
           "}\n";
}

TAlsaCapture::TAlsaCapture(const QString &folder)
    : TAlsaCapture(folder, FilePcm("!default", QDir(folder).filePath("capture.raw"), false).toUtf8())
{
}

std::unique_ptr<TAlsaCapture> TAlsaCapture::NoSoundCard(const QString &folder)
{
    // The default of a machine without cards: the first card's hardware device.
    return std::unique_ptr<TAlsaCapture>(
        new TAlsaCapture(folder, "pcm.!default { type hw card 0 device 0 }\n"));
}

TAlsaCapture::TAlsaCapture(const QString &folder, const QByteArray &config)
    : capture_(QDir(folder).filePath("capture.raw"))
{
    const QString path = QDir(folder).filePath("asound.conf");
    WriteWhole(path, config);
    WriteWhole(capture_, {});
    env_ = std::make_unique<TEnvGuard>("ALSA_CONFIG_PATH", path);
}

QByteArray TAlsaCapture::captured() const
{
    QFile file(capture_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TAlsaCapture::waitFor(const QByteArray &samples, int ms) const
{
    QDeadlineTimer deadline(ms);
    for (;;) {
        if (captured().contains(samples))
            return true;
        if (deadline.hasExpired())
            return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

void TAlsaCapture::clear() const
{
    WriteWhole(capture_, {});
}

QByteArray DistinctSamples(int samples, int seed)
{
    QByteArray bytes(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i) {
        // A step of 2474 modulo 2^16 repeats only after 32768 samples.
        const auto value = quint16(seed * 977 + i * 2 * 1237 + 1);
        qToLittleEndian<quint16>(value, bytes.data() + 2 * i);
    }
    return bytes;
}

QByteArray AsStereo(const QByteArray &mono)
{
    QByteArray stereo;
    stereo.reserve(mono.size() * 2);
    for (qsizetype i = 0; i + 1 < mono.size(); i += 2)
        stereo.append(mono.mid(i, 2)).append(mono.mid(i, 2));
    return stereo;
}

QByteArray WavFile16(const QByteArray &samples, int channels)
{
    QByteArray b;
    const auto u32 = [&b](quint32 v) {
        char c[4];
        qToLittleEndian(v, c);
        b.append(c, 4);
    };
    const auto u16 = [&b](quint16 v) {
        char c[2];
        qToLittleEndian(v, c);
        b.append(c, 2);
    };
    b.append("RIFF");
    u32(quint32(36 + samples.size()));
    b.append("WAVEfmt ");
    u32(16);          // fmt chunk length
    u16(1);           // PCM
    u16(quint16(channels));
    u32(44100);                          // frames per second
    u32(quint32(44100 * 2 * channels));  // bytes per second
    u16(quint16(2 * channels));          // bytes per frame
    u16(16);          // bits per sample
    b.append("data");
    u32(quint32(samples.size()));
    b.append(samples);
    return b;
}
