#pragma once

#include "batch/BatchRequest.h"
#include "batch/BatchResult.h"
#include "batch/watch/ArrivalQueue.h"
#include "batch/watch/FolderEvents.h"
#include "batch/watch/WatchState.h"

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pagesmith {

// Where a watch stands, for a progress line or a status bar.
struct WatchCounts {
    int converted = 0;
    int failed = 0;
    bool folderPresent = true;
};

// Follows a watch for whoever shows it. Called on the thread that runs it.
class HotFolderObserver {
public:
    virtual ~HotFolderObserver() = default;
    // A file is being converted.
    virtual void fileStarted(const std::string& /*path*/) {}
    // A file was converted, or reported as failed for good.
    virtual void fileHandled(const FileOutcome& /*outcome*/) {}
    // One report for the run log: the files that arrived together, or a
    // note about the folder (gone, back).
    virtual void entryWritten(const std::string& /*report*/) {}
    virtual void countsChanged(const WatchCounts& /*counts*/) {}
    // A fault that no report line can carry, for a message box.
    virtual void faultShown(const std::string& /*caption*/, const std::string& /*text*/) {}
};

// Converts every TIFF file of the request's source folder into its save
// folder, then each file that arrives or changes there once it is complete,
// until stop() or a stop signal: each version of a file once, across
// restarts too (the state file in the save folder). The file in hand is
// finished before it ends. Sub-folders (a save folder inside the watched one
// among them) and leftovers of interrupted runs are never taken.
class HotFolder {
public:
    // `request`: the conversion (source and save folders, options, filter,
    // the settle time); its file lists are not used. `lead` opens each
    // report ("CMD : ...").
    HotFolder(const BatchRequest& request, std::string lead, HotFolderObserver& observer,
              std::unique_ptr<FolderEvents> events = openFolderEvents());
    ~HotFolder();

    // Runs until told to stop. The counts at the end.
    WatchCounts run(const std::atomic<int>* stopSignal);
    // Ends the run after the file in hand; any thread may call it.
    void stop();

private:
    struct Held;

    bool stopping() const;
    void takeBacklog(ArrivalQueue::Clock::time_point now);
    void takeEvents(const std::vector<FolderEvent>& events);
    void convert(const std::vector<std::pair<std::string, FileStamp>>& ready);
    void reportHeldFailures(bool all);
    void watchFolderAgain();
    // An entry about the folder itself (gone, back).
    void writeNote(const std::string& note);
    std::optional<ArrivalQueue::Clock::time_point> nextDeadline() const;
    std::string inputPath(const std::string& name) const;

    BatchRequest m_request;
    std::string m_lead;
    HotFolderObserver& m_observer;
    std::unique_ptr<FolderEvents> m_events;
    WatchState m_state;
    ArrivalQueue m_queue;
    std::chrono::milliseconds m_settle;
    // Files that failed while they might still be written: reported once
    // they have stayed unchanged for the settle time.
    std::map<std::string, Held> m_held;
    WatchCounts m_counts;
    // The file system the folder was found on first.
    std::optional<std::uintmax_t> m_folderDevice;
    std::atomic<bool> m_stopAsked{false};
    const std::atomic<int>* m_stopSignal = nullptr;
    // The last round: its header and settings lead every entry.
    BatchResult m_round;
};

} // namespace pagesmith
