// The Linux source of folder events: inotify, woken by an eventfd or a stop
// signal. Everything Linux-only of the watch lives in this file, which the
// build takes on Linux only (src/CMakeLists.txt).
#include "batch/watch/FolderEvents.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace pagesmith {

namespace {

constexpr std::uint32_t kFolderMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_MODIFY |
                                      IN_ATTRIB | IN_DELETE | IN_MOVED_FROM | IN_DELETE_SELF |
                                      IN_MOVE_SELF | IN_ONLYDIR;

class InotifyFolderEvents : public FolderEvents {
public:
    InotifyFolderEvents()
        : m_inotify(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          m_wakeup(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

    ~InotifyFolderEvents() override {
        if (m_inotify >= 0)
            close(m_inotify);
        if (m_wakeup >= 0)
            close(m_wakeup);
    }

    bool usable() const { return m_inotify >= 0 && m_wakeup >= 0; }

    bool watchFolder(const std::string& folder) override {
        if (m_inotify < 0)
            return false;
        if (m_watch >= 0)
            inotify_rm_watch(m_inotify, m_watch);
        m_watch = inotify_add_watch(m_inotify, folder.c_str(), kFolderMask);
        return m_watch >= 0;
    }

    std::vector<FolderEvent> wait(std::optional<Clock::time_point> deadline,
                                  const std::atomic<int>* stopSignal) override {
        std::vector<FolderEvent> events;
        // The stop signals are held back from the check of the flag until
        // the wait has begun, so none can slip in between and go unnoticed.
        sigset_t stopSignals;
        sigset_t before;
        sigemptyset(&stopSignals);
        for (const int number : {SIGTERM, SIGINT, SIGHUP})
            sigaddset(&stopSignals, number);
        pthread_sigmask(SIG_BLOCK, &stopSignals, &before);
        if (!(stopSignal && stopSignal->load() != 0)) {
            pollfd fds[2] = {{m_inotify, POLLIN, 0}, {m_wakeup, POLLIN, 0}};
            timespec timeout{};
            timespec* limit = nullptr;
            if (deadline) {
                const auto left = std::max(Clock::duration::zero(), *deadline - Clock::now());
                const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
                timeout.tv_sec = time_t(ns / 1000000000);
                timeout.tv_nsec = long(ns % 1000000000);
                limit = &timeout;
            }
            ppoll(fds, 2, limit, &before);
        }
        pthread_sigmask(SIG_SETMASK, &before, nullptr);

        std::uint64_t wakes = 0;
        while (read(m_wakeup, &wakes, sizeof wakes) > 0) {
        }
        readEvents(events);
        return events;
    }

    void wake() override {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(m_wakeup, &one, sizeof one);
    }

private:
    void readEvents(std::vector<FolderEvent>& events) {
        alignas(inotify_event) char buffer[64 * (sizeof(inotify_event) + NAME_MAX + 1)];
        for (;;) {
            const ssize_t got = read(m_inotify, buffer, sizeof buffer);
            if (got <= 0)
                return;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += ssize_t(sizeof(inotify_event) + event->len);
                take(*event, events);
            }
        }
    }

    void take(const inotify_event& event, std::vector<FolderEvent>& events) {
        using Kind = FolderEvent::Kind;
        if (event.mask & IN_Q_OVERFLOW) {
            events.push_back({Kind::Overflow, {}});
            return;
        }
        if (event.wd != m_watch)
            return; // a watch given up before
        if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED)) {
            events.push_back({Kind::FolderGone, {}});
            return;
        }
        if (event.len == 0 || (event.mask & IN_ISDIR))
            return;
        const std::string name = event.name;
        if (event.mask & (IN_CLOSE_WRITE | IN_MOVED_TO))
            events.push_back({Kind::Complete, name});
        else if (event.mask & (IN_DELETE | IN_MOVED_FROM))
            events.push_back({Kind::Removed, name});
        else
            events.push_back({Kind::Changed, name});
    }

    int m_inotify = -1;
    int m_wakeup = -1;
    int m_watch = -1;
};

} // namespace

std::unique_ptr<FolderEvents> openFolderEvents() {
    auto events = std::make_unique<InotifyFolderEvents>();
    // Out of inotify instances (a per-user limit): the portable source.
    if (!events->usable())
        return openPortableFolderEvents();
    return events;
}

} // namespace pagesmith
