#include "model/AssignmentRows.h"

#include <algorithm>

TAssignmentRows TAssignmentRows::images()
{
    TAssignmentRows r;
    for (int i = 0; i < ImageCount; ++i)
        r.append(std::make_unique<TAssignmentData>(true, i));
    return r;
}

TAssignmentRows TAssignmentRows::drums()
{
    TAssignmentRows r;
    for (int i = 0; i < DrumCount; ++i)
        r.append(std::make_unique<TAssignmentData>(false, i));
    return r;
}

TAssignmentData *TAssignmentRows::find(bool isImage, int index) const
{
    for (const auto &row : rows_)
        if (row->isImage == isImage && row->index == index)
            return row.get();
    return nullptr;
}

void TAssignmentRows::sort(const std::function<bool(const TAssignmentData &, const TAssignmentData &)> &less)
{
    std::stable_sort(rows_.begin(), rows_.end(),
                     [&](const auto &a, const auto &b) { return less(*a, *b); });
}
