#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace pagesmith {

// What identifies one version of a file: its size and its modification time.
struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t modifiedNanoseconds = 0; // since 1970, UTC

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file at `path` now, or nothing when there is none.
std::optional<FileStamp> stampOf(const std::string& path);

// Which versions of the watched files were handled (converted, or reported as
// failed), kept in a file of the save folder so that a restart converts only
// what is new or changed. Written whole or not at all: a crash while saving
// leaves the previous state.
class WatchState {
public:
    // The file's name in the save folder.
    static constexpr const char* kFileName = ".pagesmith-watch";

    explicit WatchState(std::string path);

    // Reads the state file; a missing or unreadable one is an empty state.
    void load();
    // Writes the state file atomically. False when it could not be written.
    bool save() const;

    // Whether this version of the input was handled already.
    bool isHandled(const std::string& inputPath, const FileStamp& stamp) const;
    void record(const std::string& inputPath, const FileStamp& stamp);

    const std::string& path() const { return m_path; }
    std::size_t size() const { return m_stamps.size(); }

private:
    static std::string keyOf(const std::string& inputPath);

    std::string m_path;
    std::map<std::string, FileStamp> m_stamps; // by the input's full path
};

} // namespace pagesmith
