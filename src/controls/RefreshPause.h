#pragma once

#include "controls/SystemListView.h"

// Holds the view's re-listing while a file operation changes its folder, so
// that the watch thread's passes do not redraw the list half-way.
class TRefreshPause {
public:
    explicit TRefreshPause(TSystemListView &view) : view_(view) { view_.SuspendRefresh(); }
    ~TRefreshPause() { view_.ResumeRefresh(); }
    TRefreshPause(const TRefreshPause &) = delete;
    TRefreshPause &operator=(const TRefreshPause &) = delete;

private:
    TSystemListView &view_;
};
