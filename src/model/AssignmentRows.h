#pragma once

#include "model/AssignmentData.h"

#include <functional>
#include <memory>
#include <vector>

// The rows of one component list in their current display order. The list
// window owns this object (and through it every row's TAssignmentData); the
// assignment set walks it in row order when it loads and saves.
class TAssignmentRows {
public:
    // All images (by image index) or all drums (by drum index), in catalogue order.
    static TAssignmentRows images();
    static TAssignmentRows drums();

    TAssignmentRows() = default;
    TAssignmentRows(TAssignmentRows &&) = default;
    TAssignmentRows &operator=(TAssignmentRows &&) = default;

    void append(std::unique_ptr<TAssignmentData> row) { rows_.push_back(std::move(row)); }
    int count() const { return int(rows_.size()); }
    TAssignmentData &at(int row) const { return *rows_.at(size_t(row)); }
    // The row showing a component, or nullptr.
    TAssignmentData *find(bool isImage, int index) const;

    // Reorders the rows; `less` sees the rows' data (stable, so equal rows keep their order).
    void sort(const std::function<bool(const TAssignmentData &, const TAssignmentData &)> &less);

    auto begin() const { return rows_.begin(); }
    auto end() const { return rows_.end(); }

private:
    std::vector<std::unique_ptr<TAssignmentData>> rows_;
};
