#pragma once

#include "model/Catalogue.h"

#include <QString>
#include <array>
#include <cstdint>

// What one row of a component list owns: which component it stands for and
// the measured values of the assigned file. For an image the values are
// width, height and bits per pixel (the fourth stays 0); for a drum the frame
// count, sample rate, bits per sample and channel count. Zero when detached.
class TAssignmentData {
public:
    TAssignmentData(bool isImage, int index);

    bool isImage;
    int32_t index; // image index 0..58 or drum index 0..45
    std::array<int32_t, 4> info{};

    // The catalogue entry: image entry `index`, or drum entry 59 + `index`.
    int liveIndex() const { return isImage ? index : ImageCount + index; }
    TLiveEntry &entry() const;

    QString modFileName() const;
    QString displayName() const;
    QString assignedPath() const;
    // Writes the catalogue entry's path directly; an empty path detaches.
    void setAssignedPath(const QString &path) const;
    bool isAssigned() const { return !assignedPath().isEmpty(); }
};
