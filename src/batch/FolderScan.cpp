#include "batch/FolderScan.h"

#include "base/PartialFile.h"
#include "base/Paths.h"
#include "batch/BatchRequest.h"
#include "batch/FileInfoText.h"
#include "batch/NameOrder.h"
#include "engine/CompressionChoice.h"
#include "platform/PathRules.h"
#include "platform/Utf8Paths.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <vector>

namespace pagesmith {

namespace fs = std::filesystem;

namespace {

enum class EntryKind { Skipped, Folder, File };

// Uses the type the directory listing gave where it can, to spare a stat.
EntryKind kindOf(const fs::directory_entry& entry) {
    std::error_code error;
    // A link counts when it leads to a regular file. Links to folders are not
    // followed: one pointing at a parent would make the scan endless.
    if (entry.is_symlink(error)) {
        const fs::file_status target = entry.status(error);
        return !error && fs::is_regular_file(target) ? EntryKind::File : EntryKind::Skipped;
    }
    if (error)
        return EntryKind::Skipped;
    if (entry.is_directory(error))
        return EntryKind::Folder;
    if (!error && entry.is_regular_file(error))
        return EntryKind::File;
    // Pipes, sockets and devices are never opened: a pipe would block the scan.
    return EntryKind::Skipped;
}

// The path cut after sourceFolder and its separator. A folder outside
// sourceFolder keeps its full path rather than a name cut at a wrong place.
std::string relativeName(const std::string& sourceFolder, const std::string& path) {
    const std::size_t cut = sourceFolder.size() + 1;
    if (path.size() > cut && path.compare(0, sourceFolder.size(), sourceFolder) == 0 &&
        platform::isPathSeparator(path[sourceFolder.size()]))
        return path.substr(cut);
    return path;
}

std::optional<std::chrono::system_clock::time_point> lastWriteTime(const fs::path& path) {
    std::error_code error;
    const fs::file_time_type time = fs::last_write_time(path, error);
    if (error)
        return std::nullopt;
    return std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        std::chrono::file_clock::to_sys(time));
}

void addIfMatching(BatchRequest& request, const std::string& path,
                   CompressionFilter compressionFilter) {
    if (!matchesCompressionFilter(path, compressionFilter))
        return;
    std::error_code error;
    const fs::path file = platform::pathFromUtf8(path);
    const std::uintmax_t size = fs::file_size(file, error);
    if (error)
        return; // gone since it was tested
    request.addFile(relativeName(request.sourceFolder, path),
                    fileInfoText(size, lastWriteTime(file)), 1);
}

} // namespace

void scanFolder(BatchRequest& request, const std::string& folder, int includeSubfolders,
                CompressionFilter compressionFilter) {
    if (int(compressionFilter) < 0)
        compressionFilter = CompressionFilter::All;
    // The file system hands entries out in an order of its own (a hash order
    // on most Linux file systems): they are taken in name order instead, so
    // reports, logs, merges and which of two clashing files keeps its output
    // are the same wherever the folder lives.
    struct Entry {
        std::string name;
        EntryKind kind;
    };
    std::vector<Entry> entries;
    std::error_code error;
    fs::directory_iterator listing(platform::pathFromUtf8(folder), error);
    for (; !error && listing != fs::directory_iterator(); listing.increment(error)) {
        const EntryKind kind = kindOf(*listing);
        if (kind != EntryKind::Skipped)
            entries.push_back({platform::utf8FromPath(listing->path().filename()), kind});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return comesBeforeByName(a.name, b.name); });
    for (const Entry& entry : entries) {
        const std::string path = joinPath(folder, entry.name);
        if (entry.kind == EntryKind::File && isLeftoverOutput(entry.name))
            ++request.leftoversLeftOut;
        else if (entry.kind == EntryKind::File)
            addIfMatching(request, path, compressionFilter);
        else if (includeSubfolders)
            scanFolder(request, path, includeSubfolders, compressionFilter);
    }
}

bool isLeftoverOutput(const std::string& path) {
    return isPartialFileName(splitPath(path).name);
}

int ensureFolder(const std::string& folder) {
    std::error_code error;
    const fs::path path = platform::pathFromUtf8(folder);
    if (fs::is_directory(path, error))
        return 1;
    // The root ("/", "C:\", "\\server\share") cannot be created and always
    // exists.
    const std::string parent = splitPath(folder).folder;
    if (platform::pathFromUtf8(parent).has_relative_path())
        ensureFolder(parent);
    fs::create_directory(path, error);
    return error ? 0 : 1;
}

bool sameFolder(const std::string& a, const std::string& b) {
    return platform::sameFolder(a, b);
}

} // namespace pagesmith
