#pragma once

#include "tiff/TiffHandle.h"

#include <string>

namespace pagesmith {

// One input of a conversion run: a TIFF file, optionally followed by a list of
// the pages to take, "a.tif,2,0" (pages 2 then 0) or "a.tif,1," (page 1 and
// every page after it). Page numbers take C prefixes: 0x for hexadecimal, a
// leading 0 for octal.
class InputPages {
public:
    enum class Step {
        Page,       // the next page is in hand
        Unreadable, // the file has a next page, but its directory cannot be read
        End,        // no page follows
    };

    // Opens the input and moves to its first page. A path that names an
    // existing file is that file, commas and all; only otherwise is a list
    // read. False when the input cannot be used (problem() says why, for a
    // bad list or a listed page the file does not have).
    bool open(const std::string& input);

    // Moves to the next page to copy. After an Unreadable page the one after
    // it is tried: every page the file counts is met once.
    Step nextPage();

    // After the last page: whether the last directory read links on to one
    // that could not be counted (a chain cut short, or looping back).
    bool chainBroken() const;

    TIFF* tiff() const { return m_file.get(); }
    // The file read (the input without its page list).
    const std::string& path() const { return m_path; }
    // What went wrong with the page list, for the report; empty when nothing did.
    const std::string& problem() const { return m_problem; }
    // Whether the pages from the current one on follow each other in the file.
    bool readsInOrder() const { return m_sequential && m_list.empty(); }
    void close() { m_file.close(); }

    // The file an input names: the whole input when such a file exists,
    // otherwise the part before the first comma.
    static std::string fileOf(const std::string& input);

private:
    bool selectListedPage();

    TiffHandle m_file;
    std::string m_path;
    std::string m_list; // the rest of the page list, from a comma on
    std::string m_problem;
    bool m_sequential = true; // pages follow one another
    // Pages read one after another: the directories the chain counts, the
    // one in hand, and whether it was read.
    tdir_t m_chainLength = 0;
    tdir_t m_position = 0;
    bool m_positionRead = true;
};

} // namespace pagesmith
