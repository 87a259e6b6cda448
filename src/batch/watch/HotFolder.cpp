#include "batch/watch/HotFolder.h"

#include "base/Paths.h"
#include "base/ReportMessages.h"
#include "batch/BatchObserver.h"
#include "batch/BatchOperations.h"
#include "batch/FolderScan.h"
#include "batch/ReportText.h"
#include "engine/CompressionChoice.h"
#include "inspect/ReportLines.h"
#include "inspect/TiffInfo.h"
#include "platform/FileIdentity.h"
#include "platform/Utf8Paths.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace pagesmith {

namespace fs = std::filesystem;
using Clock = ArrivalQueue::Clock;

namespace {

// While the folder is gone there is nothing to be told about it: whether it
// is back is looked at this often.
constexpr std::chrono::seconds kLookForFolderAgain{2};

// Files by the TIFF signature, so that a file of another kind, or one whose
// writer has not yet got past its first bytes, is neither converted nor
// reported; it is looked at again when it changes.
bool looksLikeTiff(const std::string& path) {
    std::ifstream in(platform::pathFromUtf8(path), std::ios::binary);
    char head[4] = {};
    if (!in.read(head, 4))
        return false;
    const std::string start(head, 4);
    return start == std::string("II*\0", 4) || start == std::string("MM\0*", 4) ||
           start == std::string("II+\0", 4) || start == std::string("MM\0+", 4);
}

// Hidden files are the temporary names of writers that rename when done;
// leftovers of interrupted runs are never inputs.
bool isCandidateName(const std::string& name) {
    return !name.empty() && name.front() != '.' && !isLeftoverOutput(name);
}

// The volume a folder lies on; none when it is not a folder (now).
std::optional<std::uintmax_t> volumeOf(const std::string& folder) {
    std::error_code error;
    if (!fs::is_directory(platform::pathFromUtf8(folder), error))
        return std::nullopt;
    const std::optional<platform::FileIdentity> identity = platform::identityOfPath(folder);
    if (!identity)
        return std::nullopt;
    return std::uintmax_t(identity->volume);
}

// Follows a round for the watch's observer: which file is in hand, the fault
// boxes, and whether to stop before the next file.
class RoundObserver : public BatchObserver {
public:
    RoundObserver(HotFolderObserver& observer, std::function<bool()> stopping)
        : m_observer(observer), m_stopping(std::move(stopping)) {}

    void fileStarted(int, int, const std::string& path) override { m_observer.fileStarted(path); }
    void faultShown(const std::string& caption, const std::string& text) override {
        m_observer.faultShown(caption, text);
    }
    bool stopRequested() override { return m_stopping(); }

private:
    HotFolderObserver& m_observer;
    std::function<bool()> m_stopping;
};

} // namespace

struct HotFolder::Held {
    FileStamp stamp;
    FileOutcome outcome;
    Clock::time_point due;
};

HotFolder::HotFolder(const BatchRequest& request, std::string lead, HotFolderObserver& observer,
                     std::unique_ptr<FolderEvents> events)
    : m_request(request), m_lead(std::move(lead)), m_observer(observer),
      m_events(std::move(events)), m_state(joinPath(request.saveFolder, WatchState::kFileName)),
      m_queue(std::chrono::milliseconds(request.watch.settleMilliseconds)),
      m_settle(request.watch.settleMilliseconds) {
    m_request.clearFiles();
    m_request.merge = 0;
    m_request.operation = BatchOperation::ConvertIntoFolder;
    m_request.includeSubfolders = 0;
    // A stop lets the file in hand finish: the engine is never cut short.
    m_request.options.interruption = nullptr;
}

HotFolder::~HotFolder() = default;

void HotFolder::stop() {
    m_stopAsked = true;
    m_events->wake();
}

bool HotFolder::stopping() const {
    return m_stopAsked || (m_stopSignal && m_stopSignal->load() != 0);
}

std::string HotFolder::inputPath(const std::string& name) const {
    return joinPath(m_request.sourceFolder, name);
}

WatchCounts HotFolder::run(const std::atomic<int>* stopSignal) {
    m_stopSignal = stopSignal;
    ensureFolder(m_request.saveFolder);
    m_state.load();
    m_counts.folderPresent = false;
    watchFolderAgain();
    if (!m_counts.folderPresent) {
        writeNote(formatMessage<ReportMessage::FolderMissing>(shownName(m_request.sourceFolder)));
        m_observer.countsChanged(m_counts);
    }

    const auto stampNow = [this](const std::string& name) { return stampOf(inputPath(name)); };
    while (!stopping()) {
        if (!m_counts.folderPresent)
            watchFolderAgain();
        const auto ready = m_queue.takeReady(Clock::now(), stampNow);
        if (!ready.empty()) {
            convert(ready);
            continue;
        }
        reportHeldFailures(false);
        takeEvents(m_events->wait(nextDeadline(), m_stopSignal));
    }
    reportHeldFailures(true);
    return m_counts;
}

void HotFolder::watchFolderAgain() {
    const std::optional<std::uintmax_t> device = volumeOf(m_request.sourceFolder);
    // An unmounted share leaves its empty mount point behind: the folder is
    // back when its own file system is.
    if (!device || (m_folderDevice && *device != *m_folderDevice))
        return;
    if (!m_events->watchFolder(m_request.sourceFolder))
        return;
    const bool wasGone = m_folderDevice.has_value();
    m_folderDevice = *device;
    m_counts.folderPresent = true;
    if (wasGone)
        writeNote(formatMessage<ReportMessage::FolderBack>(shownName(m_request.sourceFolder)));
    m_observer.countsChanged(m_counts);
    takeBacklog(Clock::now());
}

// Whatever is in the folder and not handled in this version: taken at once
// when it has not changed for a settle time, else once it settles.
void HotFolder::takeBacklog(Clock::time_point now) {
    std::error_code error;
    fs::directory_iterator entries(platform::pathFromUtf8(m_request.sourceFolder), error);
    const auto settledBefore = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   (std::chrono::system_clock::now() - m_settle).time_since_epoch())
                                   .count();
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string name = platform::utf8FromPath(entries->path().filename());
        if (!isCandidateName(name))
            continue;
        const std::optional<FileStamp> stamp = stampOf(inputPath(name));
        if (!stamp || m_state.isHandled(inputPath(name), *stamp))
            continue;
        if (stamp->modifiedNanoseconds < settledBefore)
            m_queue.noteComplete(name, now);
        else
            m_queue.noteChanged(name, stamp, now);
    }
}

void HotFolder::takeEvents(const std::vector<FolderEvent>& events) {
    const Clock::time_point now = Clock::now();
    for (const FolderEvent& event : events) {
        switch (event.kind) {
        case FolderEvent::Kind::FolderGone:
            if (m_counts.folderPresent) {
                m_counts.folderPresent = false;
                writeNote(
                    formatMessage<ReportMessage::FolderGone>(shownName(m_request.sourceFolder)));
                m_observer.countsChanged(m_counts);
            }
            break;
        case FolderEvent::Kind::Overflow:
            takeBacklog(now);
            break;
        case FolderEvent::Kind::Removed:
            m_queue.forget(event.name);
            m_held.erase(event.name);
            break;
        case FolderEvent::Kind::Complete:
            if (!isCandidateName(event.name))
                break;
            m_held.erase(event.name);
            m_queue.noteComplete(event.name, now);
            break;
        case FolderEvent::Kind::Changed:
            if (!isCandidateName(event.name))
                break;
            m_held.erase(event.name);
            m_queue.noteChanged(event.name, stampOf(inputPath(event.name)), now);
            break;
        }
    }
}

void HotFolder::convert(const std::vector<std::pair<std::string, FileStamp>>& ready) {
    BatchRequest round = m_request;
    std::vector<FileStamp> stamps;
    for (const auto& [name, stamp] : ready) {
        const std::string path = inputPath(name);
        if (m_state.isHandled(path, stamp) || !looksLikeTiff(path))
            continue;
        // A readable file of another compression is not for this watch; an
        // unreadable one is converted, to be reported if it stays so.
        if (m_request.compressionFilter != CompressionFilter::All &&
            !matchesCompressionFilter(path, m_request.compressionFilter) &&
            countTiffPages(path) > 0)
            continue;
        round.addFile(name);
        stamps.push_back(stamp);
    }
    if (round.fileNames.empty())
        return;

    RoundObserver observer(m_observer, [this] { return stopping(); });
    m_round = runBatch(round, observer);

    const Clock::time_point now = Clock::now();
    std::vector<FileOutcome> converted;
    for (const FileOutcome& outcome : m_round.files) {
        const std::string& name = round.fileNames[outcome.index];
        const FileStamp& before = stamps[outcome.index];
        const std::optional<FileStamp> after = stampOf(outcome.path);
        if (outcome.status == FileStatus::NotBegun) {
            m_queue.noteComplete(name, now);
            continue;
        }
        // Written to while it was read: what came out may be of half a file.
        if (after != before) {
            if (after)
                m_queue.noteChanged(name, after, now);
            continue;
        }
        if (outcome.status == FileStatus::Failed) {
            m_held[name] = {before, outcome, now + m_settle};
            continue;
        }
        m_state.record(outcome.path, before);
        converted.push_back(outcome);
        ++m_counts.converted;
        m_observer.fileHandled(outcome);
    }
    if (converted.empty())
        return;
    const std::string notes =
        m_state.save() ? std::string()
                       : formatMessage<ReportMessage::WatchStateUnsaved>(shownName(m_state.path()));
    m_observer.entryWritten(watchEntry(m_round, converted, notes, m_lead));
    m_observer.countsChanged(m_counts);
}

void HotFolder::reportHeldFailures(bool all) {
    const Clock::time_point now = Clock::now();
    std::vector<FileOutcome> failed;
    for (auto it = m_held.begin(); it != m_held.end();) {
        Held& held = it->second;
        if (!all && held.due > now) {
            ++it;
            continue;
        }
        const std::optional<FileStamp> stamp = stampOf(held.outcome.path);
        if (stamp && *stamp == held.stamp) {
            m_state.record(held.outcome.path, held.stamp);
            failed.push_back(held.outcome);
            ++m_counts.failed;
            m_observer.fileHandled(held.outcome);
        } else if (stamp) {
            m_queue.noteChanged(it->first, stamp, now);
        }
        it = m_held.erase(it);
    }
    if (failed.empty())
        return;
    const std::string notes =
        m_state.save()
            ? std::string()
            : formatMessage<ReportMessage::WatchStateUnsavedForFailures>(shownName(m_state.path()));
    m_observer.entryWritten(watchEntry(m_round, failed, notes, m_lead));
    m_observer.countsChanged(m_counts);
}

std::optional<Clock::time_point> HotFolder::nextDeadline() const {
    std::optional<Clock::time_point> next = m_queue.nextDeadline();
    for (const auto& [name, held] : m_held)
        if (!next || held.due < *next)
            next = held.due;
    if (!m_counts.folderPresent) {
        const Clock::time_point look = Clock::now() + kLookForFolderAgain;
        if (!next || look < *next)
            next = look;
    }
    return next;
}

void HotFolder::writeNote(const std::string& note) {
    m_observer.entryWritten(watchNote(note, m_lead, m_request.options.shortLog != 0));
}

} // namespace pagesmith
