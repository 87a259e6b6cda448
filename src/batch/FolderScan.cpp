#include "batch/FolderScan.h"

#include "base/Paths.h"
#include "batch/BatchRequest.h"
#include "batch/FileInfoText.h"
#include "engine/CompressionChoice.h"

#include <chrono>
#include <filesystem>
#include <optional>

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
        path[sourceFolder.size()] == kPathSeparator)
        return path.substr(cut);
    return path;
}

std::optional<std::chrono::system_clock::time_point> lastWriteTime(const std::string& path) {
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
    const std::uintmax_t size = fs::file_size(path, error);
    if (error)
        return; // gone since it was tested
    request.addFile(relativeName(request.sourceFolder, path),
                    fileInfoText(size, lastWriteTime(path)), 1);
}

} // namespace

void scanFolder(BatchRequest& request, const std::string& folder, int includeSubfolders,
                CompressionFilter compressionFilter) {
    if (int(compressionFilter) < 0)
        compressionFilter = CompressionFilter::All;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::directory_entry& entry = *entries;
        const std::string path = joinPath(folder, entry.path().filename().string());
        switch (kindOf(entry)) {
        case EntryKind::Folder:
            if (includeSubfolders)
                scanFolder(request, path, includeSubfolders, compressionFilter);
            break;
        case EntryKind::File:
            addIfMatching(request, path, compressionFilter);
            break;
        case EntryKind::Skipped:
            break;
        }
    }
}

int ensureFolder(const std::string& folder) {
    std::error_code error;
    if (fs::is_directory(folder, error))
        return 1;
    // The root cannot be created and always exists.
    const std::string parent = splitPath(folder).folder;
    if (fs::path(parent).has_relative_path())
        ensureFolder(parent);
    fs::create_directory(folder, error);
    return error ? 0 : 1;
}

bool sameFolder(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return false;
    std::error_code error;
    if (fs::equivalent(a, b, error))
        return true;
    // Folders that do not exist yet compare by their spelled-out form.
    const auto normalised = [](const std::string& folder) {
        std::error_code ignored;
        fs::path path = fs::weakly_canonical(fs::absolute(folder, ignored), ignored);
        path = path.lexically_normal();
        std::string text = path.string();
        while (text.size() > 1 && text.back() == kPathSeparator)
            text.pop_back();
        return text;
    };
    return normalised(a) == normalised(b);
}

} // namespace pagesmith
