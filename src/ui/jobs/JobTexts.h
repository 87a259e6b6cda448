#pragma once

namespace pagesmith {

// Every text the Convert and Merge jobs show or write, in one place.
struct JobTexts {
    // The job-state pane around the command.
    static constexpr const char* kConverting = "Converting ......";
    static constexpr const char* kMerging = "Merging ......";
    static constexpr const char* kDone = "Done.";

    // Confirmed with the folder shown as the save folder.
    static constexpr const char* kSameFolderCaption =
        "Warning - save folder is the same as source folder";
    static constexpr const char* kSameFolderText =
        "For safe for your source tiff files, please DO select another folder different from "
        "soure folder\nas source tiff files may be overwritten";

    // The progress window's caption.
    static constexpr const char* kConvertingCaption = "Converting %1 files";
    static constexpr const char* kConvertingOneCaption = "Converting %1 file";
    static constexpr const char* kMergingCaption = "Merging %1 files";
    static constexpr const char* kMergingOneCaption = "Merging %1 file";

    // The main status pane while confirmed jobs wait for the running one.
    static constexpr const char* kJobsWaiting = "%1 job(s) waiting for the running job to finish";

    // The "Results" page.
    static constexpr const char* kStartConverting = "Start converting ... \r\n";
    static constexpr const char* kStartMerging = "Start merging ... \r\n";
    static constexpr const char* kSeparator = "----------------\r\n";
    static constexpr const char* kStoppedLine = "Stopped: %d of %d selected file(s) done\r\n";
    static constexpr const char* kTotalLine = "Total %d tiff file(s) are convertered/merged.\r\n";
    // After the total, when any file failed.
    static constexpr const char* kFailedLine = "Total %d tiff file(s) failed.\r\n";

    // A watch: the "Results" page's first line and the main status pane.
    static constexpr const char* kStartWatching = "Start watching %s ... \r\n";
    static constexpr const char* kWatchingStatus = "Watching %1: %2 converted";
    static constexpr const char* kWatchingFailed = ", %1 failed";
    static constexpr const char* kWatchedFolderGone = " (folder gone)";

    // How a job's run-log entry begins, unless the log is short.
    static constexpr const char* kLogHeader = "\nPagesmith in GUI mode\n";
};

} // namespace pagesmith
