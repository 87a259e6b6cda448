#include "batch/OperationRun.h"

#include "base/Paths.h"
#include "batch/BatchProgress.h"
#include "batch/BatchRequest.h"
#include "batch/RecordedReport.h"
#include "batch/ReportRoute.h"
#include "batch/WorkerPool.h"
#include "engine/CoreBudget.h"
#include "engine/TextCase.h"

#include <algorithm>
#include <deque>
#include <future>
#include <memory>

namespace pagesmith {

namespace {

std::string writtenKey(const std::string& path) {
    return kCaseInsensitiveFileNames ? lowerCased(path) : path;
}

// What a file run on the pool hands back.
struct PoolResult {
    FileOutcome outcome;
    RecordedReport report;
};

} // namespace

// The files handed to the pool and not yet reported, oldest first.
class OperationRun::InHand {
public:
    struct File {
        FileTask task;
        std::future<PoolResult> result;
    };

    bool empty() const { return m_files.empty(); }
    std::size_t size() const { return m_files.size(); }
    bool holdsAFileOf(const FileTask& task) const {
        return std::any_of(m_files.begin(), m_files.end(),
                           [&](const File& file) { return task.dependsOn(file.task); });
    }
    void add(FileTask task, std::future<PoolResult> result) {
        m_files.push_back({std::move(task), std::move(result)});
    }
    File takeOldest() {
        File oldest = std::move(m_files.front());
        m_files.pop_front();
        return oldest;
    }

private:
    std::deque<File> m_files;
};

OperationRun::OperationRun(BatchRequest& request, ReportRoute& route, CoreBudget& cores)
    : m_request(request), m_route(route), m_cores(cores), m_progress(route.progress()) {
    for (std::size_t i = 0; i < request.fileNames.size(); ++i)
        m_selected += request.isSelected(i) ? 1 : 0;
}

void OperationRun::convertSelectedFiles() {
    const int threads = std::min(m_cores.cores(), m_selected);
    if (threads > 1)
        runOnPool(threads);
    else
        runOneByOne();
}

void OperationRun::runOneByOne() {
    for (std::size_t i = 0; i < m_request.fileNames.size(); ++i) {
        if (!m_request.isSelected(i))
            continue;
        FileTask task = startFileTask(m_request, i);
        if (!begin(task))
            return;
        lookUpEarlierInput(task);
        finish(task, runFileTask(m_request, task, m_request.options.tempFile, m_route, m_cores));
    }
}

void OperationRun::runOnPool(int threads) {
    // Twice the threads: a file that finishes while an older one is still in
    // hand does not leave its thread idle.
    const std::size_t mostInHand = std::size_t(threads) * 2;
    InHand inHand;
    auto reportOldest = [&] {
        InHand::File file = inHand.takeOldest();
        PoolResult result = file.result.get();
        result.report.replayInto(m_route);
        finish(file.task, result.outcome);
    };

    WorkerPool pool(threads, m_cores);
    for (std::size_t i = 0; i < m_request.fileNames.size(); ++i) {
        if (!m_request.isSelected(i))
            continue;
        FileTask task = startFileTask(m_request, i);
        while (!inHand.empty() && (inHand.size() >= mostInHand || inHand.holdsAFileOf(task)))
            reportOldest();
        if (!begin(task))
            break;
        lookUpEarlierInput(task);
        auto job = std::make_shared<std::packaged_task<PoolResult(int)>>([this, task](int thread) {
            PoolResult result;
            const std::string scratch = scratchPathFor(m_request.options.tempFile, thread);
            result.outcome = runFileTask(m_request, task, scratch, result.report, m_cores);
            return result;
        });
        inHand.add(task, job->get_future());
        pool.submit([job](int thread) { (*job)(thread); });
    }
    // A file already begun is finished and reported, also after a stop.
    while (!inHand.empty())
        reportOldest();
}

bool OperationRun::begin(const FileTask& task) {
    if (m_progress && m_progress->stopRequested()) {
        m_stopped = true;
        return false;
    }
    if (m_progress)
        m_progress->fileStarted(m_count, m_selected, task.input);
    ++m_count;
    return true;
}

void OperationRun::lookUpEarlierInput(FileTask& task) const {
    if (task.output.empty() || m_request.options.append)
        return;
    const auto found = m_written.find(writtenKey(task.output));
    if (found != m_written.end())
        task.earlierInput = found->second;
}

void OperationRun::finish(const FileTask& task, const FileOutcome& outcome) {
    m_request.resultText += outcome.resultText;
    if (outcome.pages > 0)
        m_total += outcome.pages;
    if (outcome.wroteOutput)
        m_written[writtenKey(task.output)] = task.input;
}

} // namespace pagesmith
