#pragma once

#include "controls/FolderEnumeration.h"

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

// Reads the entries of an opened folder enumeration on a thread of its own: every entry's
// attributes and find data cost a look at the disk each, and on a slow or hung mount each
// look can take seconds. The items go to OnItems on this object's thread in batches as they
// arrive, and OnDone follows the last. A thread stuck in a look that never returns is left
// behind; its listing is cancelled and nothing of it is handed over any more.
class TFolderLister : public QObject {
    Q_OBJECT
public:
    explicit TFolderLister(QObject *parent = nullptr);
    ~TFolderLister() override;

    // Cancels any listing under way and starts this one. The filter's CanAdd is called on the
    // listing thread, never after Cancel has returned.
    void Start(std::shared_ptr<TShellFolder> folder, std::unique_ptr<TShellEnum> items, TEnumFilter filter);
    // Stops handing over items of the current listing.
    void Cancel();
    // Waits up to ms milliseconds for the listing to end, then hands over at once what is
    // ready. True when the listing has ended and everything is handed over.
    bool Finish(int ms);
    bool Busy() const;

    std::function<void(std::vector<TEnumItem> &items)> OnItems;
    std::function<void()> OnDone;

private:
    struct TJob;
    void Deliver(const std::shared_ptr<TJob> &job);

    std::shared_ptr<TJob> job_;
};
