#pragma once

#include "batch/FileTasks.h"

#include <map>
#include <string>

namespace pagesmith {

struct BatchRequest;
class BatchProgress;
class CoreBudget;
class ReportRoute;

// The files of a counting or converting run, in list order: one after the
// other on the calling thread, or, when the run may use several cores, on a
// pool of threads. Either way everything the user sees (report lines,
// marks, progress, stops, the outputs) comes as the one-thread run gives it:
// each file's report is kept until the files before it are reported, and a
// file that reads or writes what an earlier file still in hand writes waits
// for it.
class OperationRun {
public:
    OperationRun(BatchRequest& request, ReportRoute& route, CoreBudget& cores);

    void convertSelectedFiles();

    int selected() const { return m_selected; }
    // The files begun (a stopped run leaves the rest).
    int count() const { return m_count; }
    // The pages of the files that could be read.
    int total() const { return m_total; }
    bool stopped() const { return m_stopped; }

private:
    class InHand;

    void runOneByOne();
    void runOnPool(int threads);
    // Asks the progress whether to go on and, if so, tells it the file begins.
    bool begin(const FileTask& task);
    // Fills in which earlier file wrote the task's output.
    void lookUpEarlierInput(FileTask& task) const;
    void finish(const FileTask& task, const FileOutcome& outcome);

    BatchRequest& m_request;
    ReportRoute& m_route;
    CoreBudget& m_cores;
    BatchProgress* m_progress;
    // Each output written so far, with the input it came from, so that no
    // later file of the run replaces one unseen.
    std::map<std::string, std::string> m_written;
    int m_selected = 0;
    int m_count = 0;
    int m_total = 0;
    bool m_stopped = false;
};

} // namespace pagesmith
