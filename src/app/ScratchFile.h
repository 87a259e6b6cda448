#pragma once

#include <string>

namespace pagesmith {

// The process's own scratch file for colour pages bound for fax, in a private
// temporary folder removed when the object goes, so that two runs at once
// never share one.
class ScratchFile {
public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_folder;
    std::string m_path;
};

} // namespace pagesmith
