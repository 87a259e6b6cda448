#pragma once

namespace pagesmith {

// Every text the Convert and Merge jobs show, in one place; what they write
// to a report comes from the report's table.
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

    // A watch: the main status pane.
    static constexpr const char* kWatchingStatus = "Watching %1: %2 converted";
    static constexpr const char* kWatchingFailed = ", %1 failed";
    static constexpr const char* kWatchedFolderGone = " (folder gone)";
};

} // namespace pagesmith
