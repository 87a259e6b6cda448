#pragma once

#include "platform/FileIdentity.h"
#include "tiff/TiffHandle.h"

#include <cstdint>
#include <string>

namespace pagesmith {

// Where an input's current page lies, taken on the thread that owns the
// input's handle, so that another thread can open the file again on that
// page with a handle of its own that decodes it the same way.
class PageAddress {
public:
    // Empty when the page cannot be found again (the handle names no
    // regular file).
    static PageAddress of(TIFF* in);

    explicit operator bool() const { return !m_path.empty(); }

    // Whether both are the same page, read alike, of the same file: not of
    // another file put in its place under the same name.
    bool samePageAs(const PageAddress& other) const;

    // A new handle on the page; empty when the file cannot be opened or the
    // name now stands for another file.
    TiffHandle open() const;

private:
    std::string m_path;
    std::uint64_t m_directoryOffset = 0;
    int m_jpegColorMode = -1; // the pseudo-tag of JPEG pages; -1 for others
    platform::FileIdentity m_file;
};

} // namespace pagesmith
