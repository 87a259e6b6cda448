#include "app/LibraryLicences.h"

#include <QtGlobal>
#include <qpdf/QPDF.hh>
#include <tiffio.h>
#include <zlib.h>

#include <cstdio> // jpeglib.h needs FILE declared first
#include <jerror.h>
#include <jpeglib.h>

namespace pagesmith {

namespace {

// "LIBTIFF, Version 4.5.0\nCopyright ..." gives "4.5.0".
std::string libtiffVersion() {
    const std::string text = TIFFGetVersion();
    const std::string mark = "Version ";
    const std::size_t start = text.find(mark);
    if (start == std::string::npos)
        return text.substr(0, text.find('\n'));
    const std::size_t from = start + mark.size();
    return text.substr(from, text.find_first_of(" \n", from) - from);
}

// The JPEG library tells its version only through its message table:
// "2.1.5  15-Dec-2022" gives "2.1.5".
std::string libjpegVersion() {
    jpeg_error_mgr errors{};
    jpeg_std_error(&errors);
    if (errors.last_jpeg_message < JMSG_VERSION)
        return "unknown";
    const std::string text = errors.jpeg_message_table[JMSG_VERSION];
    return text.substr(0, text.find(' '));
}

} // namespace

std::vector<LibraryLicence> libraryLicences() {
    return {
        {"Qt", qVersion(), "LGPL-3.0-only"},
        {"libtiff", libtiffVersion(), "libtiff (BSD-style)"},
        {"libjpeg-turbo", libjpegVersion(), "IJG, BSD-3-Clause and Zlib"},
        {"zlib", zlibVersion(), "Zlib"},
        {"qpdf", QPDF::QPDFVersion(), "Apache-2.0"},
    };
}

std::string licenceDetails() {
    std::string text = "Pagesmith " PAGESMITH_VERSION " is free software under the MIT licence.\n"
                       "It runs with these libraries, each under its own licence:\n";
    for (const LibraryLicence& library : libraryLicences())
        text += library.name + " " + library.version + ": " + library.licence + "\n";
    return text;
}

} // namespace pagesmith
