#include "modbuild/ComponentCheck.h"

#include "formats/Probes.h"
#include "model/AssignmentSet.h"
#include "platform/Exception.h"

#include <QFileInfo>
#include <cstdlib>
#include <limits>

namespace {

constexpr uint32_t RequiredRate = 44100;

[[noreturn]] void Fail(const QString &message)
{
    throw EModwright(message.toStdString());
}

void CheckImage(TAssignmentData &row, const QString &path, TMessages &messages,
                const TBuildSettings &settings)
{
    const TImageInfo info = GetImageInfo(path);
    // A top-down bitmap stores its height negated; its picture is as tall all the same.
    const int32_t height =
        info.Height == std::numeric_limits<int32_t>::min() ? info.Height : std::abs(info.Height);
    int expectedWidth = 0, expectedHeight = 0;
    ExpectedSize(ImageEntry(row.index), expectedWidth, expectedHeight);
    if (settings.ShowWarnings && (info.Width != expectedWidth || height != expectedHeight))
        messages.AddMessage(QString("*Warning: %1 has non-standard size (%2x%3 instead of %4x%5).")
                                .arg(QFileInfo(path).fileName())
                                .arg(info.Width)
                                .arg(height)
                                .arg(expectedWidth)
                                .arg(expectedHeight));
    row.info = {info.Width, height, info.BitsPerPixel, 0};
}

void CheckDrum(TAssignmentData &row, const QString &path, TMessages &messages, const TBuildSettings &settings)
{
    const TAudioFormat format = GetAudioInfo(path);
    if (format.SampleRate != RequiredRate)
        Fail(QString("%1 's frequency is not 44100 Hz.").arg(path));
    const int32_t frames = int32_t(std::min<int64_t>(format.FrameCount, std::numeric_limits<int32_t>::max()));
    row.info = {frames, int32_t(format.SampleRate), format.BitsPerSample, format.Channels};
    if (settings.ShowWarnings) {
        if (format.BitsPerSample != 16)
            messages.AddMessage(QString("*Warning: %1 is not 16 bit.").arg(path));
        if (format.Channels != 1)
            messages.AddMessage(QString("*Warning: %1 is not mono.").arg(path));
    }
}

} // namespace

void CheckAssignedFile(TAssignmentData &row, const QString &path, TMessages &messages,
                       const TBuildSettings &settings)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        Fail(QString("%1 does not exist.").arg(path));
    // Measured into a copy, so that a refused file leaves the row as it was.
    TAssignmentData measured = row;
    if (row.isImage)
        CheckImage(measured, path, messages, settings);
    else
        CheckDrum(measured, path, messages, settings);
    row.info = measured.info;
}

void InstallComponentCheck(TAssignmentSet &set, const TBuildSettings &settings)
{
    set.fileCheck = [&settings](TAssignmentData &row, const QString &path, TMessages &messages) {
        CheckAssignedFile(row, path, messages, settings);
    };
}

QStringList ComponentCells(const TAssignmentData &row, const TBuildSettings &settings)
{
    const bool assigned = row.isAssigned();
    if (row.isImage) {
        if (!assigned)
            return {QString(), QString()};
        return {QString("%1x%2").arg(row.info[0]).arg(row.info[1]), QString("%1bit").arg(row.info[2])};
    }
    if (!assigned || !settings.ShowDrumFormat)
        return {QString(), QString(), QString(), QString()};
    // Resolution, Frequency, Channels, Samples.
    return {QString::number(row.info[2]), QString::number(row.info[1]), QString::number(row.info[3]),
            QString::number(row.info[0])};
}
