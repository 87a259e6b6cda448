#pragma once

#include "batch/BatchRequest.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pagesmith {

// How one selected file of a batch ended.
enum class FileStatus {
    NotBegun,  // the run was stopped before it
    Converted, // its output was written, and nothing of it failed
    Merged,    // its pages went into the merged file, and nothing of it failed
    Counted,   // its pages were counted (counting operations)
    Failed,    // something of it did not go through; `reason` says what
};

// Where the pages of one input went: the output file, and page by page
// which of the input's pages went into it, from the output's page
// `firstPage` on. Empty when none went.
struct OutputPages {
    std::string path;
    int firstPage = 0;            // the output page (from 0) of sourcePages[0]
    std::vector<int> sourcePages; // the input's pages (from 0), in output order

    bool empty() const { return sourcePages.empty(); }
    // The output page that input page `sourcePage` became; -1 when it went
    // into none.
    int outputPageOf(int sourcePage) const;
    bool operator==(const OutputPages&) const = default;
};

struct FileOutcome {
    std::size_t index = 0; // in the request's lists
    std::string path{};    // the input read
    FileStatus status = FileStatus::NotBegun;
    std::string reason{}; // Failed: what the report said of the failure, without line ends
    int pages = -1;       // the pages counted; negative when it is not a TIFF file
    OutputPages output{}; // converting and merging runs: where its pages went
    // Its share of the report as it came: what its conversion said, then the
    // batch's own line for it (converting and counting runs).
    std::string lines{};
};

// What a batch run did, as a value the caller keeps: the report in its parts
// and each selected file's outcome, in list order. The run log's report reads
// header, fileLines, the engine's lines (led by the caller's own start line),
// then the closing lines made from the counts (ReportText).
struct BatchResult {
    std::string header;             // what the run does, where from, where to
    std::string fileLines;          // the batch's own line for each file: page counts, refusals
    std::string engineLines;        // what the conversions said, file by file, in list order
    std::vector<FileOutcome> files; // the selected files, in list order
    BatchOperation operation = BatchOperation::CountPagesEach;
    std::string sourceFolder;
    int selected = 0;   // files that take part
    int visited = 0;    // files begun
    int written = 0;    // files Converted or Merged
    int failed = 0;     // files Failed
    int totalPages = 0; // pages of the files that could be read
    int failures = 0;   // failed steps (files, pages, outputs): nonzero means exit status 3
    bool stopped = false;
    bool merge = false;    // a merge rather than an operation per file
    bool converts = false; // the files are converted (not only counted)
    bool shortLog = false;
};

} // namespace pagesmith
