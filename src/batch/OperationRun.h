#pragma once

#include "batch/BatchResult.h"
#include "batch/FileTasks.h"

#include <map>
#include <string>

namespace pagesmith {

struct BatchRequest;
class BatchObserver;
class CoreBudget;
class FileReport;

// The files of a counting or converting run, in list order: one after the
// other on the calling thread, or, when the run may use several cores, on a
// pool of threads. Either way everything the observer and the result see
// (report lines, outcomes, progress, stops, the outputs) comes as the
// one-thread run gives it: each file's report is kept until the files before
// it are reported, and a file that reads or writes what an earlier file still
// in hand writes waits for it.
class OperationRun {
public:
    OperationRun(const BatchRequest& request, BatchObserver& observer, CoreBudget& cores,
                 BatchResult& result);

    // Every selected file gets its outcome in the result, in list order.
    void convertSelectedFiles();

private:
    class InHand;

    void runOneByOne();
    void runOnPool(int threads);
    // Asks the observer whether to go on and, if so, tells it the file begins.
    bool begin(const FileTask& task);
    // Fills in which earlier file wrote the task's output.
    void lookUpEarlierInput(FileTask& task) const;
    void finish(const FileTask& task, const TaskOutcome& outcome, const FileReport& report);
    // The selected files from `index` on, after a stop.
    void leaveUnbegun(std::size_t index);

    const BatchRequest& m_request;
    BatchObserver& m_observer;
    CoreBudget& m_cores;
    BatchResult& m_result;
    // Each output written so far, with the input it came from, so that no
    // later file of the run replaces one unseen.
    std::map<std::string, std::string> m_written;
};

} // namespace pagesmith
