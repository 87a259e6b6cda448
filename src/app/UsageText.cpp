#include "app/UsageText.h"

#include "platform/UsageWords.h"

#include <string_view>

namespace pagesmith {

namespace {

// Kept in step with the manual page (resources/man/pagesmith.1) and the
// user guide. Where the platforms differ (how a program is stopped, paths,
// where files live) each has its own words, in platform/UsageWords.cpp.

// The text up to the options' end; {shown} and {watch} are filled in.
constexpr std::string_view kUsage = R"(Usage: pagesmith [OPTION]...
   or:  pagesmith --window [PATH]...
Converts the TIFF files of a folder to another compression or to PDF, merges
TIFF files into one multi-page file or PDF document, and counts their pages.
Without arguments it opens
its window; with any other arguments it runs one batch, appends the report to
the run log and shows it ({shown}).
"--window" as the first argument opens the window instead, showing the folder
named after it, or the folder of the files named with only those files checked.

Options are single words starting with "/"; a value follows "=" without a
space. Option and compression names may be written in any case. Options act
in the order given.
  /d=FOLDER     take the TIFF files of FOLDER (not its sub-folders)
  /f=FILE       take one file
  /m=A,B,...    merge these files (names relative to the /d= folder)
  /sd=FOLDER    convert each file into FOLDER (not the source folder)
  /sf=FILE      convert to, or merge into, FILE
  /sc=NAME      output compression: NONE, PACKBITS, G31D, G32D, G4, LZW, JPEG,
                or PDF for a PDF document NAME.pdf (default G3 1D with
                byte-aligned lines; unknown names: PACKBITS)
  /c=NAME       take only files whose first page has this compression: ALL,
                NONE, PACKBITS, G31D, G32D, G3ALL, G4, LZW, JPEG (before /d=)
  /k            keep the file names (no compression suffix such as "g4")
  /np           list the page count of each file (what a run does by default)
  /tnp          count the total pages (with /sd= or /sf=: while converting)
  /watch        with /d= and /sd=: convert the folder's files, then keep
                running and convert each file that arrives or changes there,
                once complete, {watch} (each file once, also
                across restarts: .pagesmith-watch in the save folder)
  /settle=SEC   with /watch: a file not closed or moved in is taken once its
                size and time stay the same this long (default 2)
  /log=FILE     append the report to FILE instead of the run log, this run only
  /q            quiet: do not show the report
  /sl           short log: no headers, page lines or separators
  -h, --help, /?  show this text and exit
  --version     show the version and exit
These four count only as the sole argument; among others they are ignored, as
is any word the program does not know, "--window" too unless it comes first.
)";

bool asksForUsage(std::string_view argument) {
    return argument == "--help" || argument == "-h" || argument == "/?";
}

std::string replaced(std::string text, std::string_view mark, std::string_view by) {
    return text.replace(text.find(mark), mark.size(), by);
}

} // namespace

std::optional<std::string> usageOrVersionText(int argc, const char* const* argv) {
    if (argc != 2 || !argv[1])
        return std::nullopt;
    if (asksForUsage(argv[1])) {
        const platform::UsageWords words = platform::usageWords();
        return replaced(replaced(std::string(kUsage), "{shown}", words.shownWhere), "{watch}",
                        words.watchEnds) +
               std::string(words.platformPart);
    }
    if (std::string_view(argv[1]) == "--version")
        return std::string("Pagesmith " PAGESMITH_VERSION "\n");
    return std::nullopt;
}

} // namespace pagesmith
