#include "app/LibraryLicences.h"

#include <QtGlobal>
#include <gtest/gtest.h>
#include <zlib.h>

#include <regex>

namespace pagesmith {
namespace {

// The libraries the program links and the licences each is used under.
TEST(LibraryLicences, NameEveryLinkedLibraryWithItsLicenceAndAVersionNumber) {
    const std::pair<const char*, const char*> expected[] = {
        {"Qt", "LGPL-3.0-only"},
        {"libtiff", "libtiff (BSD-style)"},
        {"libjpeg-turbo", "IJG, BSD-3-Clause and Zlib"},
        {"zlib", "Zlib"},
        {"qpdf", "Apache-2.0"},
    };
    const std::vector<LibraryLicence> libraries = libraryLicences();
    ASSERT_EQ(libraries.size(), std::size(expected));
    const std::regex versionNumber("[0-9]+\\.[0-9]+(\\.[0-9]+)*( \\(built with\\))?");
    for (std::size_t i = 0; i < libraries.size(); ++i) {
        EXPECT_EQ(libraries[i].name, expected[i].first);
        EXPECT_EQ(libraries[i].licence, expected[i].second);
        EXPECT_TRUE(std::regex_match(libraries[i].version, versionNumber))
            << libraries[i].name << ": " << libraries[i].version;
    }
}

// The versions are those of the libraries loaded, not of the headers built with.
TEST(LibraryLicences, GiveTheVersionsLoadedAtRunTime) {
    const std::vector<LibraryLicence> libraries = libraryLicences();
    EXPECT_EQ(libraries[0].version, qVersion());
    EXPECT_EQ(libraries[3].version, zlibVersion());
    const std::string details = licenceDetails();
    EXPECT_EQ(details.rfind(
                  "Pagesmith " PAGESMITH_VERSION " is free software under the MIT licence.\n", 0),
              0u);
    for (const LibraryLicence& library : libraries)
        EXPECT_NE(
            details.find(library.name + " " + library.version + ": " + library.licence + "\n"),
            std::string::npos)
            << details;
}

} // namespace
} // namespace pagesmith
