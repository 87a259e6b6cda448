// The watched folder as a fax inbox sees it, through the program:
//
// - arrival to whole output: a one-page fax (1728 x 2200, Group 4 to LZW) is
//   renamed into the watched folder, and the time until its output takes its
//   name in the save folder (outputs appear whole, by a rename) is taken from
//   inotify, so nothing here polls. The median over --arrivals files, against
//   the median of the conversion alone (the same file, in this process), so
//   the watch's own share is the difference;
// - an idle watch: the processor time (user and system) the program takes
//   over --idle seconds while nothing arrives, from /proc.
//
//   watch-bench [--arrivals N] [--idle SECONDS] [--keep]
//
// It prints its figures and never fails on them.

#include "support/ConvertOnce.h"
#include "support/PageWriters.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pagesmith;
using namespace pagesmith::bench;
using Clock = std::chrono::steady_clock;

namespace {

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Processor seconds (user and system) the process has taken so far.
double processorSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::vector<std::string> fields;
    std::string field;
    for (std::size_t i = close + 2; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += text[i];
        }
    }
    // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
    if (fields.size() < 13)
        return -1;
    return double(std::stoull(fields[11]) + std::stoull(fields[12])) / double(sysconf(_SC_CLK_TCK));
}

// Waits until a file named `name` is made or renamed into the folder watched
// by `inotify`; false after `limit`.
bool waitForName(int inotify, const std::string& name, std::chrono::seconds limit) {
    const Clock::time_point end = Clock::now() + limit;
    alignas(inotify_event) char buffer[16 * 1024];
    while (Clock::now() < end) {
        pollfd fd{inotify, POLLIN, 0};
        const int left =
            int(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count());
        if (poll(&fd, 1, std::max(left, 1)) <= 0)
            continue;
        const ssize_t got = read(inotify, buffer, sizeof buffer);
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->len > 0 && name == event->name)
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    int arrivals = 100;
    int idleSeconds = 60;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--arrivals") && i + 1 < argc)
            arrivals = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--idle") && i + 1 < argc)
            idleSeconds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--keep"))
            keep = true;
    }
    TempFolder work("watch-bench");
    if (!work)
        return 1;
    if (keep)
        work.keep();
    const fs::path in = work.path() / "in";
    const fs::path out = work.path() / "out";
    const fs::path staging = work.path() / "staging";
    fs::create_directories(in);
    fs::create_directories(out);
    fs::create_directories(staging);

    // The conversion alone, for comparison.
    const std::string sample = (staging / "sample.tif").string();
    writeFaxFile(sample, documentFaxRow, 1, kFaxLength);
    std::vector<double> alone;
    for (int i = 0; i < std::min(arrivals, 20); ++i) {
        const std::string base = (work.path() / "alone").string();
        const Clock::time_point start = Clock::now();
        convertOnce(sample.c_str(), base.c_str(), CompressionMode::Lzw, -1,
                    (work.path() / "scratch.tbw").c_str());
        alone.push_back(milliseconds(Clock::now() - start));
    }

    const int inotify = inotify_init1(IN_CLOEXEC);
    inotify_add_watch(inotify, out.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
    const std::string log = (work.path() / "run.log").string();
    const std::string stdoutPath = (work.path() / "stdout.txt").string();
    const pid_t child = fork();
    if (child == 0) {
        const int outFd = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(outFd, 1);
        const std::string d = "/d=" + in.string();
        const std::string sd = "/sd=" + out.string();
        const std::string logOption = "/log=" + log;
        execl(PAGESMITH_BINARY, PAGESMITH_BINARY, "/watch", d.c_str(), sd.c_str(), "/sc=lzw", "/k",
              logOption.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // The watch is up once it said so.
    for (int i = 0; i < 1000; ++i) {
        std::ifstream said(stdoutPath);
        std::string line;
        if (std::getline(said, line) && line.rfind("Watching", 0) == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    std::vector<double> latencies;
    for (int i = 0; i < arrivals; ++i) {
        const std::string name = "fax" + std::to_string(i) + ".tif";
        fs::copy_file(sample, staging / name);
        const Clock::time_point start = Clock::now();
        fs::rename(staging / name, in / name);
        if (!waitForName(inotify, name, std::chrono::seconds(60))) {
            std::printf("arrival %d: no output within 60 s\n", i);
            break;
        }
        latencies.push_back(milliseconds(Clock::now() - start));
    }

    const double before = processorSeconds(child);
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const double after = processorSeconds(child);

    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);

    std::printf("watched folder, one-page fax (1728 x 2200, G4) to LZW, renamed in\n");
    std::printf("  arrival to whole output, median of %zu: %.1f ms (min %.1f, max %.1f)\n",
                latencies.size(), median(latencies),
                latencies.empty() ? 0 : *std::min_element(latencies.begin(), latencies.end()),
                latencies.empty() ? 0 : *std::max_element(latencies.begin(), latencies.end()));
    std::printf("  the conversion alone, median of %zu: %.1f ms\n", alone.size(), median(alone));
    std::printf("  the watch's own share: %.1f ms (target: at most 500 ms)\n",
                median(latencies) - median(alone));
    std::printf("  idle watch over %d s: %.3f s of processor time (target: under 0.1 s)\n",
                idleSeconds, after - before);
    std::printf("  exit status after SIGTERM: %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    close(inotify);
    return 0;
}
