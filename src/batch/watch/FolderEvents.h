#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pagesmith {

struct FolderEvent {
    enum class Kind {
        Changed,    // a file was made or written to
        Complete,   // a file was closed after writing, or moved in
        Removed,    // a file was removed or moved away
        FolderGone, // the folder itself was removed, moved or unmounted
        Overflow,   // events were lost: the folder must be listed again
    };
    Kind kind;
    std::string name; // the file's name in the folder; empty for the folder itself
};

// What happens in one folder (not its sub-folders), from the platform's
// file-system notifications: waiting costs nothing while nothing happens.
class FolderEvents {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~FolderEvents() = default;

    // Watches `folder` from now on (again, after it was gone). False when it
    // cannot be watched.
    virtual bool watchFolder(const std::string& folder) = 0;

    // Waits until something happens in the folder, `deadline` passes, wake()
    // is called, or a stop signal sets `stopSignal`, and returns what
    // happened (perhaps nothing).
    virtual std::vector<FolderEvent> wait(std::optional<Clock::time_point> deadline,
                                          const std::atomic<int>* stopSignal) = 0;

    // Ends the wait in hand, or the next one, at once. Any thread may call it.
    virtual void wake() = 0;
};

// The platform's best source: inotify on Linux, otherwise the portable one.
std::unique_ptr<FolderEvents> openFolderEvents();

// Qt's file-system watcher: every platform, but it tells only that the folder
// changed (never that a file was closed), so files wait for the settle time.
// Its waits run a Qt event loop, which on the main thread needs the
// application object.
std::unique_ptr<FolderEvents> openPortableFolderEvents();

} // namespace pagesmith
