#include "batch/OperationRun.h"

#include "base/MemoryLimits.h"
#include "base/Paths.h"
#include "base/TextCase.h"
#include "batch/BatchObserver.h"
#include "batch/BatchRequest.h"
#include "batch/FileReport.h"
#include "engine/threads/CoreBudget.h"
#include "engine/threads/WorkerPool.h"

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
    TaskOutcome outcome;
    FileReport report;
};

FileStatus statusOf(const BatchRequest& request, const TaskOutcome& outcome,
                    const FileReport& report) {
    if (report.failures() > 0 || outcome.pages < 0)
        return FileStatus::Failed;
    if (!isConvertingOperation(request.operation))
        return FileStatus::Counted;
    return outcome.wroteOutput ? FileStatus::Converted : FileStatus::Failed;
}

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

OperationRun::OperationRun(const BatchRequest& request, BatchObserver& observer, CoreBudget& cores,
                           BatchResult& result)
    : m_request(request), m_observer(observer), m_cores(cores), m_result(result) {
    for (std::size_t i = 0; i < request.fileNames.size(); ++i)
        m_result.selected += request.isSelected(i) ? 1 : 0;
}

void OperationRun::convertSelectedFiles() {
    const int threads = std::min(m_cores.cores(), m_result.selected);
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
        if (!begin(task)) {
            leaveUnbegun(i);
            return;
        }
        lookUpEarlierInput(task);
        FileReport report(1, &m_observer); // lines reach the observer as they come
        const TaskOutcome outcome =
            runFileTask(m_request, task, m_request.options.tempFile, report, m_cores);
        finish(task, outcome, report);
    }
}

void OperationRun::runOnPool(int threads) {
    const std::size_t mostInHand = std::size_t(threads) * kFilesInHandPerThread;
    InHand inHand;
    auto reportOldest = [&] {
        InHand::File file = inHand.takeOldest();
        PoolResult result = file.result.get();
        result.report.replayInto(m_observer);
        finish(file.task, result.outcome, result.report);
    };

    {
        WorkerPool pool(threads, m_cores);
        for (std::size_t i = 0; i < m_request.fileNames.size(); ++i) {
            if (!m_request.isSelected(i))
                continue;
            FileTask task = startFileTask(m_request, i);
            while (!inHand.empty() && (inHand.size() >= mostInHand || inHand.holdsAFileOf(task)))
                reportOldest();
            if (!begin(task)) {
                leaveUnbegun(i);
                break;
            }
            lookUpEarlierInput(task);
            auto job =
                std::make_shared<std::packaged_task<PoolResult(int)>>([this, task](int thread) {
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
    // The files after a stop were given their outcome before the files
    // still in hand were reported: list order again.
    std::stable_sort(m_result.files.begin(), m_result.files.end(),
                     [](const FileOutcome& a, const FileOutcome& b) { return a.index < b.index; });
}

bool OperationRun::begin(const FileTask& task) {
    if (m_observer.stopRequested() || isInterrupted(m_request.options)) {
        m_result.stopped = true;
        return false;
    }
    m_observer.fileStarted(m_result.visited, m_result.selected, task.input);
    ++m_result.visited;
    return true;
}

void OperationRun::leaveUnbegun(std::size_t index) {
    for (std::size_t i = index; i < m_request.fileNames.size(); ++i)
        if (m_request.isSelected(i))
            m_result.files.push_back(
                {.index = i, .path = m_request.inputPath(i), .status = FileStatus::NotBegun});
}

void OperationRun::lookUpEarlierInput(FileTask& task) const {
    if (task.output.empty() || m_request.options.append)
        return;
    const auto found = m_written.find(writtenKey(task.output));
    if (found != m_written.end())
        task.earlierInput = found->second;
}

void OperationRun::finish(const FileTask& task, const TaskOutcome& outcome,
                          const FileReport& report) {
    const std::string engineLines = report.lines();
    if (!outcome.fileLine.text.empty()) {
        m_result.fileLines += outcome.fileLine.text;
        m_observer.reportLine(outcome.fileLine.text);
    }
    m_result.engineLines += engineLines;
    m_result.failures += report.failures();
    if (outcome.pages > 0)
        m_result.totalPages += outcome.pages;
    if (outcome.wroteOutput)
        m_written[writtenKey(task.output)] = task.input;
    if (outcome.stopped) {
        // Begun, but not done.
        m_result.stopped = true;
        --m_result.visited;
    }

    FileOutcome file;
    file.index = task.index;
    file.path = task.input;
    file.status = statusOf(m_request, outcome, report);
    file.pages = outcome.pages;
    if (file.status == FileStatus::Failed)
        file.reason = report.reasonOf(0);
    if (outcome.wroteOutput)
        file.output = {task.output, 0, report.pagesWritten(0)};
    file.lines = engineLines + outcome.fileLine.text;
    m_result.files.push_back(file);
    m_observer.fileFinished(file);
}

} // namespace pagesmith
