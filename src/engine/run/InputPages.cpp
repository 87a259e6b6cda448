#include "engine/run/InputPages.h"

#include "base/ReportMessages.h"
#include "inspect/ReportLines.h"
#include "platform/Utf8Paths.h"
#include "tiff/OpenForReading.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <limits>

namespace pagesmith {

namespace {

constexpr char kListSeparator = ',';

bool isExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(platform::pathFromUtf8(path), error);
}

// One element of a page list: the number after the comma at `element` (none
// written: the current page), and where the text goes on. Wider than long,
// which has 32 bits on Windows: page numbers read alike on every platform.
struct ListElement {
    long long page = 0;
    bool written = false;
    const char* rest = nullptr;
};

ListElement readElement(const char* element) {
    ListElement parsed;
    char* end = nullptr;
    errno = 0;
    parsed.page = std::strtoll(element + 1, &end, 0);
    parsed.written = end != element + 1;
    if (errno == ERANGE)
        parsed.page = -1;
    parsed.rest = end;
    return parsed;
}

// A list is a run of elements, each ending the text or followed by a comma.
bool isWellFormed(const std::string& list) {
    const char* element = list.c_str();
    while (*element == kListSeparator) {
        const ListElement parsed = readElement(element);
        if (*parsed.rest == '\0')
            return true;
        if (*parsed.rest != kListSeparator)
            return false;
        element = parsed.rest;
    }
    return *element == '\0';
}

} // namespace

std::string InputPages::fileOf(const std::string& input) {
    if (isExistingFile(input))
        return input;
    const std::size_t comma = input.find(kListSeparator);
    return comma == std::string::npos ? input : input.substr(0, comma);
}

bool InputPages::open(const std::string& input) {
    m_list.clear();
    m_problem.clear();
    m_sequential = true;
    const std::string file = fileOf(input);
    m_path = file;
    if (file.size() + 1 < input.size()) // something follows the comma
        m_list = input.substr(file.size());
    if (!m_list.empty() && !isWellFormed(m_list)) {
        m_problem = formatMessage<ReportMessage::ListMalformed>(shownName(file));
        return false;
    }
    // Never waits on a pipe named as input; read rather than mapped, so memory
    // follows the strip at hand, not the size of the file.
    m_file = openTiffForReading(file, "rm");
    if (!m_file)
        return false;
    m_chainLength = TIFFNumberOfDirectories(m_file.get());
    m_position = 0;
    m_positionRead = true;
    if (m_list.empty())
        return true;
    m_sequential = false;
    if (!selectListedPage()) {
        m_file.close();
        return false;
    }
    return true;
}

InputPages::Step InputPages::nextPage() {
    if (!m_file)
        return Step::End;
    if (!m_sequential) {
        if (m_list.empty())
            return Step::End;
        return selectListedPage() ? Step::Page : Step::End;
    }
    TIFF* tif = m_file.get();
    // libtiff's "no next directory" is also its answer for one it cannot
    // read; the count of the chain tells the two apart.
    if (m_position + 1 >= m_chainLength)
        return Step::End;
    ++m_position;
    // After a directory that could not be read, the next is looked up from
    // the start of the chain rather than from the one that failed.
    m_positionRead =
        m_positionRead ? TIFFReadDirectory(tif) != 0 : TIFFSetDirectory(tif, m_position) != 0;
    return m_positionRead ? Step::Page : Step::Unreadable;
}

bool InputPages::chainBroken() const {
    return m_file && m_sequential && m_positionRead && m_position + 1 >= m_chainLength &&
           !TIFFLastDirectory(m_file.get());
}

bool InputPages::selectListedPage() {
    TIFF* tif = m_file.get();
    const ListElement parsed = readElement(m_list.c_str());
    const long long page = parsed.written ? parsed.page : (long long)TIFFCurrentDirectory(tif);
    const std::string rest = parsed.rest;
    if (rest.empty()) {
        m_list.clear(); // this was the last listed page
    } else if (rest.size() == 1) {
        m_list.clear(); // "n," : the pages after n follow in order
        m_sequential = true;
    } else {
        m_list = rest;
    }
    const bool exists = page >= 0 && page <= (long long)std::numeric_limits<tdir_t>::max() &&
                        TIFFSetDirectory(tif, tdir_t(page));
    if (!exists) {
        m_problem =
            formatMessage<ReportMessage::ListedPageMissing>(shownName(TIFFFileName(tif)), page);
        m_sequential = false;
        m_list.clear();
        return false;
    }
    m_position = tdir_t(page);
    m_positionRead = true;
    return true;
}

} // namespace pagesmith
