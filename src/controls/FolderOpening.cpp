#include "controls/FolderOpening.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

TOpenedFolder OpenFolderWithin(const std::shared_ptr<TShellFolder> &Desktop, PCItemIdList Absolute,
                               uint32_t Flags, int TimeoutMs)
{
    // Shared with the thread, which may outlive the wait.
    struct TOpening {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        TOpenedFolder result;
    };
    auto opening = std::make_shared<TOpening>();
    std::thread([opening, desktop = Desktop, list = PidlClone(Absolute), Flags] {
        TOpenedFolder result;
        try {
            result.Folder = list.isNull() ? desktop : desktop->BindToObject(list.get());
        } catch (const std::exception &) {
            // Gone or not a folder: no folder, and nothing to say.
        }
        if (result.Folder) {
            try {
                result.Items = result.Folder->EnumObjects(Flags);
            } catch (const std::exception &e) {
                result.Error = QString::fromUtf8(e.what());
            }
        }
        std::lock_guard lock(opening->mutex);
        opening->result = std::move(result);
        opening->finished = true;
        opening->done.notify_all();
    }).detach();

    std::unique_lock lock(opening->mutex);
    if (!opening->done.wait_for(lock, std::chrono::milliseconds(TimeoutMs),
                                [&] { return opening->finished; })) {
        TOpenedFolder late;
        late.TimedOut = true;
        return late;
    }
    return std::move(opening->result);
}
