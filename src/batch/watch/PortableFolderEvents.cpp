#include "batch/watch/FolderEvents.h"

#include "base/Paths.h"
#include "batch/watch/WatchState.h"
#include "platform/Utf8Paths.h"

#include <QEventLoop>
#include <QFileSystemWatcher>
#include <QTimer>

#include <filesystem>
#include <map>
#include <mutex>

namespace pagesmith {

namespace {

namespace fs = std::filesystem;

// How soon a wait ends after a stop signal: soon enough for a console's
// Ctrl+C, rare enough to cost nothing while the folder is quiet.
constexpr int kStopCheckMilliseconds = 200;

// Qt says only that the folder changed; the files made, changed or removed
// are found by comparing its listing with the one before.
class PortableFolderEvents : public FolderEvents {
public:
    PortableFolderEvents() {
        QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_watcher,
                         [this] { m_changed = true; });
    }

    bool watchFolder(const std::string& folder) override {
        if (!m_watcher.directories().isEmpty())
            m_watcher.removePaths(m_watcher.directories());
        m_folder = folder;
        m_changed = false;
        m_listing = listing();
        QObject::connect(
            &m_watcher, &QFileSystemWatcher::directoryChanged, &m_watcher,
            [this] { m_changed = true; }, Qt::UniqueConnection);
        return m_watcher.addPath(QString::fromStdString(folder));
    }

    std::vector<FolderEvent> wait(std::optional<Clock::time_point> deadline,
                                  const std::atomic<int>* stopSignal) override {
        QEventLoop loop;
        {
            std::lock_guard lock(m_mutex);
            m_loop = &loop;
        }
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        if (deadline) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::max(Clock::duration::zero(), *deadline - Clock::now()));
            limit.start(int(std::min<long long>(left.count() + 1, 24LL * 3600 * 1000)));
        }
        const QMetaObject::Connection quitOnChange = QObject::connect(
            &m_watcher, &QFileSystemWatcher::directoryChanged, &loop, &QEventLoop::quit);
        // A stop signal is noted on another thread (Windows runs its console
        // handler on one of its own) and cannot end Qt's wait: look now and then.
        QTimer stopCheck;
        if (stopSignal) {
            QObject::connect(&stopCheck, &QTimer::timeout, &loop, [&loop, stopSignal] {
                if (stopSignal->load() != 0)
                    loop.quit();
            });
            stopCheck.start(kStopCheckMilliseconds);
        }
        bool woken;
        {
            std::lock_guard lock(m_mutex);
            woken = std::exchange(m_woken, false);
        }
        if (!woken && !m_changed && !(stopSignal && stopSignal->load() != 0))
            loop.exec();
        QObject::disconnect(quitOnChange);
        {
            std::lock_guard lock(m_mutex);
            m_loop = nullptr;
            m_woken = false;
        }
        return changes();
    }

    void wake() override {
        std::lock_guard lock(m_mutex);
        m_woken = true;
        if (m_loop)
            // By name: the call's event is handed over whole to the loop's
            // thread, with nothing left shared with this one.
            QMetaObject::invokeMethod(m_loop, "quit", Qt::QueuedConnection);
    }

private:
    std::map<std::string, FileStamp> listing() const {
        std::map<std::string, FileStamp> files;
        std::error_code error;
        fs::directory_iterator entries(platform::pathFromUtf8(m_folder), error);
        for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
            const std::string name = platform::utf8FromPath(entries->path().filename());
            if (const std::optional<FileStamp> stamp = stampOf(joinPath(m_folder, name)))
                files[name] = *stamp;
        }
        return files;
    }

    std::vector<FolderEvent> changes() {
        using Kind = FolderEvent::Kind;
        std::vector<FolderEvent> events;
        if (!m_changed)
            return events;
        m_changed = false;
        std::error_code error;
        if (!fs::is_directory(platform::pathFromUtf8(m_folder), error)) {
            events.push_back({Kind::FolderGone, {}});
            return events;
        }
        // Qt drops a folder that was removed and made again: watch it anew.
        if (m_watcher.directories().isEmpty())
            m_watcher.addPath(QString::fromStdString(m_folder));
        std::map<std::string, FileStamp> now = listing();
        for (const auto& [name, stamp] : now) {
            const auto before = m_listing.find(name);
            if (before == m_listing.end() || !(before->second == stamp))
                events.push_back({Kind::Changed, name});
        }
        for (const auto& [name, stamp] : m_listing)
            if (!now.count(name))
                events.push_back({Kind::Removed, name});
        m_listing = std::move(now);
        return events;
    }

    QFileSystemWatcher m_watcher;
    std::string m_folder;
    std::map<std::string, FileStamp> m_listing;
    bool m_changed = false;
    std::mutex m_mutex;
    QEventLoop* m_loop = nullptr;
    bool m_woken = false;
};

} // namespace

std::unique_ptr<FolderEvents> openPortableFolderEvents() {
    return std::make_unique<PortableFolderEvents>();
}

} // namespace pagesmith
