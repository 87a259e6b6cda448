#pragma once

#include <string>
#include <vector>

namespace pagesmith {

// A library the program runs with: its name, the version loaded at run time
// (which may be newer than the one it was built against; libjpeg-turbo, which
// does not tell it, gives the one built with) and its licence.
struct LibraryLicence {
    std::string name;
    std::string version;
    std::string licence;
};

// Every library the program links, in the order the About box lists them.
std::vector<LibraryLicence> libraryLicences();

// The program's own licence and the libraries' ones, one per line, for the
// About box's details.
std::string licenceDetails();

} // namespace pagesmith
