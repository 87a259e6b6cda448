#include "app/LibraryLicences.h"

#include <QtGlobal>
#include <qpdf/QPDF.hh>
#include <tiffio.h>
#include <zlib.h>

#include <jconfig.h>

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

// libjpeg-turbo tells no version of its own at run time (its message table
// holds the version of the interface, "6b"), so this is the one built with;
// the library's interface version guarantees the one loaded is compatible.
#define PAGESMITH_TEXT(x) #x
#define PAGESMITH_VALUE_TEXT(x) PAGESMITH_TEXT(x)
std::string libjpegVersion() {
#ifdef LIBJPEG_TURBO_VERSION
    return PAGESMITH_VALUE_TEXT(LIBJPEG_TURBO_VERSION) " (built with)";
#else
    return "unknown";
#endif
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
