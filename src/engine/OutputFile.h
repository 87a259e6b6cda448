#pragma once

#include "tiff/TiffHandle.h"

#include <string>

namespace pagesmith {

// The output TIFF file of one conversion run. A new output is written under a
// temporary name in its own folder ("<name>.partial-XXXXXX") and takes its
// final name only when the run commits it, so a run that fails, writes no
// page, throws or is killed leaves no half-written file under that name, and
// an older file of that name stays as it was. Appending to an existing file
// happens in place.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile() { discard(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False when the file cannot be created (or, to append, opened).
    bool open(const std::string& finalPath, bool append);

    TIFF* tiff() const { return m_tiff.get(); }

    // Writes out what libtiff holds and gives a new file its final name.
    // False, with nothing left under the temporary name, when that fails.
    bool commit();

    // Drops a new file; an appended file keeps what it had.
    void discard();

private:
    std::string m_finalPath;
    std::string m_temporaryPath; // empty when writing in place
    TiffHandle m_tiff;
};

} // namespace pagesmith
