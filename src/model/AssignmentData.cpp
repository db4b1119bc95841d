#include "model/AssignmentData.h"

#include "platform/Exception.h"

TAssignmentData::TAssignmentData(bool isImage, int index) : isImage(isImage), index(index)
{
    Assert(index >= 0 && index < (isImage ? ImageCount : DrumCount), "Assignments");
}

TLiveEntry &TAssignmentData::entry() const
{
    return LiveEntry(liveIndex());
}

QString TAssignmentData::modFileName() const
{
    return ModFileName(entry());
}

QString TAssignmentData::displayName() const
{
    return Description(entry());
}

QString TAssignmentData::assignedPath() const
{
    return entry().path;
}

void TAssignmentData::setAssignedPath(const QString &path) const
{
    entry().path = path;
}
