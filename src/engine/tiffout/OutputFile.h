#pragma once

#include "tiff/OpenTiff.h"
#include "tiff/TiffHandle.h"

#include <atomic>
#include <memory>
#include <string>

namespace pagesmith {

// The output TIFF file of one conversion run. A new output is written under a
// temporary name in its own folder ("<name>.partial-XXXXXX") and takes its
// final name only when the run commits it, so a run that fails, writes no
// page, throws, is stopped or killed leaves no half-written file under that
// name, and an older file of that name stays as it was. Appending to an
// existing file happens in place.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile() { discard(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False when the file cannot be created (or, to append, opened). Every
    // write fails once `stop` holds a nonzero value.
    bool open(const std::string& finalPath, bool append, const std::atomic<int>* stop = nullptr);

    TIFF* tiff() const { return m_tiff.get(); }

    // Whether a write into the file has failed (a full disk, a size limit, a
    // stop): the file cannot be trusted with more.
    bool writeFailed() const { return m_gate && m_gate->failed; }

    // Pages the file held before this run (only an append finds any).
    int pagesBefore() const { return m_pagesBefore; }

    // A new file only: drops everything written and begins again, empty.
    bool restart();

    // Writes out what libtiff holds and gives a new file its final name.
    // False, with nothing left under the temporary name, when that fails.
    bool commit();

    // Drops a new file; an appended file keeps what it had.
    void discard();

private:
    std::string m_finalPath;
    std::string m_temporaryPath; // empty when writing in place
    const std::atomic<int>* m_stop = nullptr;
    std::unique_ptr<WriteGate> m_gate; // outlives m_tiff, which writes through it
    TiffHandle m_tiff;
    int m_pagesBefore = 0;
};

} // namespace pagesmith
