#include "app/CommandLineText.h"
#include "base/Paths.h"
#include "cli/ProgramRunner.h"
#include "support/FolderText.h"
#include "support/TagPatch.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace pagesmith {
namespace {

using test::TestPage;

// The folders of one case: inputs are written into `in`, outputs go to `out`.
struct Folders {
    std::filesystem::path home;
    std::filesystem::path in;
    std::filesystem::path out;
};

// One input file: TIFF pages, or a text when it has none; and what is done
// to the file once written.
struct InputFile {
    std::string name;
    std::vector<TestPage> pages;
    std::string text;
    std::function<void(const std::filesystem::path&)> damage = {};
};

// One run of the program over its inputs, the exact run-log entry it writes
// and its exit status. In arguments and entry, {in}, {out} and {home} stand
// for the folders, {cmd} for the command header line and {sep} for the
// separator; <time> is the masked time stamp. The runner puts "/q" and
// "/log=" first, so a case's arguments could override them. An empty entry is
// a refused command line: no log, no batch. A path
// that follows a folder is written with '/': on Windows the program joins with
// '\', and the paths its options give are lower-cased in its reports.
struct CliCase {
    const char* name;
    std::vector<InputFile> inputs;
    std::vector<std::string> arguments;
    std::string logEntry;
    std::function<void(const Folders&)> checkOutputs = {};
    int exitStatus = 0;
};

// Exit status of a batch in which something failed; of a refused command line
// (the window opens instead, and cannot without a display).
constexpr int kSomethingFailed = 3;
constexpr int kWindowMode = 1;

const std::string kSaveFolderRefused =
    "ERROR Save Folder: Please set save-dir with '/sd=', and be sure it is not the same as "
    "source-dir\nPagesmith: cannot open the main window: no display\n";

TestPage faxPage(std::uint32_t length = 30) {
    return test::faxPage(64, length);
}

InputFile tiff(const std::string& name, std::vector<TestPage> pages) {
    return {name, std::move(pages), {}};
}

InputFile text(const std::string& name, const std::string& content) {
    return {name, {}, content};
}

// Three fax pages, the middle one in a compression no codec reads.
InputFile undecodableMiddlePage(const std::string& name) {
    return {name, {faxPage(), faxPage(31), faxPage(32)}, {}, [](const auto& path) {
                test::setPageTagValue(path, 1, TIFFTAG_COMPRESSION, 65000);
            }};
}

std::vector<InputFile> manyTinyFaxes(int count) {
    std::vector<InputFile> files;
    for (int i = 0; i < count; ++i)
        files.push_back(tiff("f" + std::to_string(i).append(".tif"), {faxPage(1)}));
    return files;
}

void expectSamePixels(const std::filesystem::path& a, const std::filesystem::path& b, int pages) {
    for (int page = 0; page < pages; ++page)
        EXPECT_EQ(test::readPage(a, page).pixels, test::readPage(b, page).pixels) << page;
}

const std::string kConvertHeader =
    "<time>{cmd}FUC: Convert tiff files: folder {in} --> {out}\nStart converting ...\n";
const std::string kCountHeader = "<time>{cmd}FUC: Count tiff file pages in folder {in}\n";

std::vector<CliCase> cases() {
    const TestPage colour = test::rgbPage(50, 20);
    return {
        {"ConvertsAFolderWithSuffixes",
         {tiff("fax.tif", {faxPage(), faxPage(31)})},
         {"/d={in}", "/sd={out}", "/sc=lzw"},
         kConvertHeader + "Convert: {in}/fax.tif -> {out}/faxlzw.tif\r\n"
                          "  -- Page 0 success\r\n  -- Page 1 success\r\n"
                          " (1) tiff file(s) converted\n{sep}",
         [](const Folders& f) { expectSamePixels(f.out / "faxlzw.tif", f.in / "fax.tif", 2); }},
        {"ConvertsAFolderKeepingTheNames",
         {tiff("fax.tif", {faxPage(), faxPage(31)})},
         {"/d={in}", "/sd={out}", "/sc=lzw", "/k"},
         kConvertHeader + "Convert: {in}/fax.tif -> {out}/fax.tif\r\n"
                          "  -- Page 0 success\r\n  -- Page 1 success\r\n"
                          " (1) tiff file(s) converted\n{sep}",
         [](const Folders& f) { EXPECT_EQ(test::countPages(f.out / "fax.tif"), 2); }},
        {"DefaultModeIsGroupThreeWithByteAlignedLines",
         {tiff("fax.tif", {faxPage()})},
         {"/d={in}", "/sd={out}"},
         kConvertHeader + "Convert: {in}/fax.tif -> {out}/faxg31.tif\r\n  -- Page 0 success\r\n"
                          " (1) tiff file(s) converted\n{sep}",
         [](const Folders& f) {
             const auto page = test::openPage(f.out / "faxg31.tif");
             std::uint32_t options = 0;
             ASSERT_TRUE(TIFFGetField(page.get(), TIFFTAG_GROUP3OPTIONS, &options));
             EXPECT_EQ(options, 4u);
             expectSamePixels(f.out / "faxg31.tif", f.in / "fax.tif", 1);
         }},
        {"ListsPageCountsOfTheFilteredFiles",
         {tiff("fax.tif", {faxPage(), faxPage(), faxPage()}), tiff("colour.tif", {colour}),
          text("readme.tif", "text")},
         {"/c=g4", "/d={in}", "/np"},
         kCountHeader + " (3) page(s) in tiff-file: {in}/fax.tif\n{sep}"},
        {"CountsTotalPagesOfAFolder",
         {tiff("fax.tif", {faxPage(), faxPage(), faxPage()}), tiff("colour.tif", {colour})},
         {"/d={in}", "/tnp"},
         "<time>{cmd}FUC: Count total pages of all tiff files in folder\n"
         " (2) tiff file(s), (4) total page(s) in folder {in}\n{sep}"},
        {"CountsTotalPagesShortly",
         {tiff("fax.tif", {faxPage(), faxPage(), faxPage()}), tiff("colour.tif", {colour})},
         {"/d={in}", "/tnp", "/sl"},
         "<time> (2) tiff file(s), (4) total page(s)\n"},
        {"MergesNamedFilesIntoOneFile",
         {tiff("a.tif", {faxPage(10), faxPage(11)}), tiff("b.tif", {faxPage(12)})},
         {"/d={in}", "/m=a.tif,b.tif", "/sf={out}/all.tif", "/sc=g4"},
         "<time>{cmd}FUC: Merge tiff files: folder {in} --> {out}\nStart merging ...\n"
         "Merge:   {in}/a.tif -> {out}/all.tif\r\n"
         "  -- Page 0 success\r\n  -- Page 1 success\r\n"
         "Merge:   {in}/b.tif -> {out}/all.tif\r\n"
         "  -- Page 0 success\r\n2 files merged\n{sep}",
         [](const Folders& f) {
             ASSERT_EQ(test::countPages(f.out / "all.tif"), 3);
             EXPECT_EQ(test::readPage(f.out / "all.tif", 2).pixels,
                       test::readPage(f.in / "b.tif").pixels);
         }},
        {"MergesNamedFilesIntoOnePdfDocument",
         {tiff("a.tif", {faxPage(10), faxPage(11)}), tiff("b.tif", {faxPage(12)})},
         {"/d={in}", "/m=a.tif,b.tif", "/sf={out}/all.tif", "/sc=pdf"},
         "<time>{cmd}FUC: Merge tiff files: folder {in} --> {out}\nStart merging ...\n"
         "Merge:   {in}/a.tif -> {out}/all.pdf\r\n"
         "  -- Page 0 success\r\n  -- Page 1 success\r\n"
         "Merge:   {in}/b.tif -> {out}/all.pdf\r\n"
         "  -- Page 0 success\r\n2 files merged\n{sep}",
         [](const Folders& f) {
             EXPECT_FALSE(std::filesystem::exists(f.out / "all.tif"));
             EXPECT_EQ(std::filesystem::directory_iterator(f.out)->path(), f.out / "all.pdf");
         }},
        // A document has no compression suffix; sub-folders are not searched
        // from the command line, so one folder's files each become one.
        {"ConvertsEachFileToAPdfDocument",
         {tiff("a.tif", {faxPage(), faxPage()}), tiff("b.tif", {colour})},
         {"/d={in}", "/sd={out}", "/sc=PDF"},
         kConvertHeader + "Convert: {in}/a.tif -> {out}/a.pdf\r\n"
                          "  -- Page 0 success\r\n  -- Page 1 success\r\n"
                          "Convert: {in}/b.tif -> {out}/b.pdf\r\n  -- Page 0 success\r\n"
                          " (2) tiff file(s) converted\n{sep}",
         [](const Folders& f) {
             EXPECT_TRUE(std::filesystem::is_regular_file(f.out / "a.pdf"));
             EXPECT_TRUE(std::filesystem::is_regular_file(f.out / "b.pdf"));
         }},
        {"MergesAtMostAThousandFilesOfAFolder",
         manyTinyFaxes(1001),
         {"/m=x", "/d={in}", "/sf={out}/all.tif", "/sc=g4", "/sl"},
         "<time>1000 files merged\n",
         [](const Folders& f) { EXPECT_EQ(test::countPages(f.out / "all.tif"), 1000); }},
        {"ConvertsOneFileToANamedOutput",
         {tiff("one.tif", {faxPage()})},
         {"/f={in}/one.tif", "/sf={out}/two.tif", "/sc=g4"},
         kConvertHeader +
             "Convert: {in}/one.tif -> {out}/twog4.tif\r\n  -- Page 0 success\r\n{sep}",
         [](const Folders& f) { EXPECT_EQ(test::countPages(f.out / "twog4.tif"), 1); }},
        {"ConvertsOneFileToANamedOutputKeepingItsName",
         {tiff("one.tif", {faxPage()})},
         {"/f={in}/one.tif", "/sf={out}/two.tif", "/sc=g4", "/k"},
         kConvertHeader + "Convert: {in}/one.tif -> {out}/two.tif\r\n  -- Page 0 success\r\n{sep}",
         [](const Folders& f) { EXPECT_EQ(test::countPages(f.out / "two.tif"), 1); }},
        // Dithered pages get their page line too.
        {"ColourPagesReachFaxAsDitheredPages",
         {tiff("colour.tif", {colour})},
         {"/d={in}", "/sd={out}", "/sc=g4"},
         kConvertHeader + "Convert: {in}/colour.tif -> {out}/colourg4.tif\r\n"
                          "  -- Page 0 success\r\n (1) tiff file(s) converted\n{sep}",
         [](const Folders& f) {
             const auto page = test::readPage(f.out / "colourg4.tif");
             EXPECT_EQ(page.bitsPerSample, 1);
             EXPECT_EQ(page.width, 50u);
             EXPECT_EQ(page.length, 19u);
         }},
        {"ShortLogKeepsOnlyTheSummary",
         {tiff("fax.tif", {faxPage()})},
         {"/d={in}", "/sd={out}", "/sl"},
         "<time> (1) tiff file(s) converted\n"},
        // The folder scan leaves a broken file out...
        {"LeavesABrokenFileOutOfTheScan",
         {text("broken.tif", "II*\0garbage")},
         {"/d={in}", "/np"},
         kCountHeader + "{sep}"},
        // ...but named on its own it gets a line.
        {"ReportsANamedFileThatIsNotTiff",
         {text("broken.tif", "II*\0garbage")},
         {"/f={in}/broken.tif", "/np"},
         kCountHeader + "Failed to get tiff page(s) of {in}/broken.tif"
                        " : NOT a tiff file or file not exist \r\n{sep}",
         {},
         kSomethingFailed},
        {"OneFileFailingAmongGoodOnesFailsTheRun",
         {tiff("fax.tif", {faxPage()}), tiff("mask.tif", {test::maskPage()})},
         {"/d={in}", "/m=fax.tif,mask.tif", "/sf={out}/all.tif", "/sc=g4"},
         "<time>{cmd}FUC: Merge tiff files: folder {in} --> {out}\nStart merging ...\n"
         "Merge:   {in}/fax.tif -> {out}/all.tif\r\n  -- Page 0 success\r\n"
         "Merge:   {in}/mask.tif -> {out}/all.tif\r\n"
         "  -- Failed to convert as you're trying to convert grayscale or color tiff to B&W "
         "tiff\r\n" +
             std::string(test::kMaskRefusal) +
             "  -- Page 0 failed\r\n1 files merged\n1 files failed\n{sep}",
         [](const Folders& f) { EXPECT_EQ(test::countPages(f.out / "all.tif"), 1); },
         kSomethingFailed},
        {"RefusesASaveFolderThatIsTheSource",
         {tiff("fax.tif", {faxPage()})},
         {"/d={in}", "/sd={in}"},
         "",
         [](const Folders& f) { EXPECT_FALSE(std::filesystem::exists(f.in / "faxg31.tif")); },
         kWindowMode},
        {"SaveFolderWithADotAndUpperCaseNames",
         {tiff("Scan.TIF", {faxPage()})},
         {"/f={in}/Scan.TIF", "/sf={home}/out.old/Result", "/sc=G4"},
         "<time>{cmd}FUC: Convert tiff files: folder {in} --> {home}/out.old\n"
         "Start converting ...\n"
         "Convert: {in}/Scan.TIF -> {home}/out.old/Resultg4.tif\r\n  -- Page 0 success\r\n{sep}",
         [](const Folders& f) { EXPECT_EQ(test::countPages(f.home / "out.old/Resultg4.tif"), 1); }},
        // What a page that cannot be read does: its line, the next page,
        // the next input, exit status 3.
        {"AnUnreadableLastDirectoryIsAPageThatFailed",
         {{"fax.tif",
           {faxPage(), faxPage(31), faxPage(32)},
           {},
           [](const auto& path) { test::clearPageEntryTypes(path, 2); }}},
         {"/d={in}", "/sd={out}", "/sc=lzw", "/tnp"},
         kConvertHeader + "Convert: {in}/fax.tif -> {out}/faxlzw.tif\r\n"
                          "  -- Page 0 success\r\n  -- Page 1 success\r\n"
                          "  -- Failed: the directory of page 2 cannot be read\r\n"
                          "  -- Page 2 failed\r\n"
                          " (0) tiff file(s) converted, (3) total page(s)\n"
                          " (1) tiff file(s) failed\n{sep}",
         [](const Folders& f) { EXPECT_EQ(test::countPages(f.out / "faxlzw.tif"), 2); },
         kSomethingFailed},
        {"AnUndecodableMiddlePageIsLeftOut",
         {undecodableMiddlePage("three.tif")},
         {"/d={in}", "/sd={out}", "/sc=lzw"},
         kConvertHeader + "Convert: {in}/three.tif -> {out}/threelzw.tif\r\n"
                          "  -- Page 0 success\r\n"
                          "  -- Failed: page 1 is compressed with 65000, which cannot be read\r\n"
                          "  -- Page 1 failed\r\n  -- Page 2 success\r\n"
                          " (0) tiff file(s) converted\n (1) tiff file(s) failed\n{sep}",
         [](const Folders& f) {
             ASSERT_EQ(test::countPages(f.out / "threelzw.tif"), 2);
             EXPECT_EQ(test::readPage(f.out / "threelzw.tif", 1).pixels,
                       test::readPage(f.in / "three.tif", 2).pixels);
         },
         kSomethingFailed},
        {"AMergeGoesOnAfterAnUndecodablePage",
         {tiff("a.tif", {faxPage(10)}), undecodableMiddlePage("three.tif"),
          tiff("b.tif", {faxPage(12)})},
         {"/d={in}", "/m=a.tif,three.tif,b.tif", "/sf={out}/all.tif", "/sc=g4"},
         "<time>{cmd}FUC: Merge tiff files: folder {in} --> {out}\nStart merging ...\n"
         "Merge:   {in}/a.tif -> {out}/all.tif\r\n  -- Page 0 success\r\n"
         "Merge:   {in}/three.tif -> {out}/all.tif\r\n  -- Page 0 success\r\n"
         "  -- Failed: page 1 is compressed with 65000, which cannot be read\r\n"
         "  -- Page 1 failed\r\n  -- Page 2 success\r\n"
         "Merge:   {in}/b.tif -> {out}/all.tif\r\n  -- Page 0 success\r\n"
         "2 files merged\n1 files failed\n{sep}",
         [](const Folders& f) { EXPECT_EQ(test::countPages(f.out / "all.tif"), 4); },
         kSomethingFailed},
        // The half-written output of a killed run is never an input.
        {"LeavesTheLeftoversOfAnInterruptedRunOut",
         {tiff("fax.tif", {faxPage()}), tiff("faxg4.tif.partial-Q7x2Lm", {faxPage()})},
         {"/d={in}", "/sd={out}", "/sc=g4"},
         "<time>{cmd}FUC: Convert tiff files: folder {in} --> {out}\n"
         "Left out 1 .partial- file(s) left over from an interrupted run\r\n"
         "Start converting ...\n"
         "Convert: {in}/fax.tif -> {out}/faxg4.tif\r\n  -- Page 0 success\r\n"
         " (1) tiff file(s) converted\n{sep}",
         [](const Folders& f) {
             EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.out),
                                     std::filesystem::directory_iterator()),
                       1);
         }},
        {"LeavesANamedLeftoverOut",
         {tiff("a.tif", {faxPage()}), tiff("all.tif.partial-abc123", {faxPage()})},
         {"/d={in}", "/m=a.tif,all.tif.partial-abc123", "/sf={out}/all.tif", "/sc=g4"},
         "<time>{cmd}FUC: Merge tiff files: folder {in} --> {out}\n"
         "Left out 1 .partial- file(s) left over from an interrupted run\r\n"
         "Start merging ...\n"
         "Convert: {in}/a.tif -> {out}/all.tif\r\n  -- Page 0 success\r\n"
         "1 files merged\n{sep}",
         [](const Folders& f) { EXPECT_EQ(test::countPages(f.out / "all.tif"), 1); }},
        // A name is never more than its line: control characters show as '?',
        // and the file keeps its real name.
        {"ControlCharactersInNamesShowAsQuestionMarks",
         {tiff("two\nlines\r.tif", {faxPage()})},
         {"/d={in}", "/sd={out}", "/sc=g4"},
         kConvertHeader + "Convert: {in}/two?lines?.tif -> {out}/two?lines?g4.tif\r\n"
                          "  -- Page 0 success\r\n (1) tiff file(s) converted\n{sep}",
         [](const Folders& f) { EXPECT_EQ(test::countPages(f.out / "two\nlines\rg4.tif"), 1); }},
        // Each argument is one option: what a name holds never becomes another.
        // The name's folder ends at the last separator, the one of "/log=".
        {"AQuoteInAFileNameStartsNoOption",
         {tiff("scan.tif", {faxPage()})},
         {"/sd={out}", "/sc=g4", "/f={in}/scan.tif\" /log=victim.txt \""},
         "<time>{cmd}FUC: Convert tiff files: folder {in}/scan.tif\"  --> {out}\n"
         "Failed to get tiff page(s) of {in}/scan.tif\" " +
             std::string(1, kPathSeparator) +
             "log=victim.txt \" : NOT a tiff file or file not exist \r\n"
             "Start converting ...\n (0) tiff file(s) converted\n (1) tiff file(s) failed\n{sep}",
         [](const Folders&) { EXPECT_FALSE(std::filesystem::exists("victim.txt")); },
         kSomethingFailed},
        {"MergeNamesMayHoldBlanksAndEachGetsItsLine",
         {tiff("a b.tif", {faxPage(10)}), tiff("c d.tif", {faxPage(12)})},
         {"/d={in}", "/m=a b.tif,gone.tif,c d.tif", "/sf={out}/all.tif", "/sc=g4"},
         "<time>{cmd}FUC: Merge tiff files: folder {in} --> {out}\nStart merging ...\n"
         "Merge:   {in}/a b.tif -> {out}/all.tif\r\n  -- Page 0 success\r\n"
         "  -- Failed: cannot open {in}/gone.tif\r\n"
         "Merge:   {in}/c d.tif -> {out}/all.tif\r\n  -- Page 0 success\r\n"
         "2 files merged\n1 files failed\n{sep}",
         [](const Folders& f) { EXPECT_EQ(test::countPages(f.out / "all.tif"), 2); },
         kSomethingFailed},
        {"RunsWithoutOptionsAndCountsNothing",
         {},
         {},
         "<time>{cmd}FUC: Count tiff file pages in folder \n{sep}"},
        {"ShortLogDropsTheHeadersAndTheSeparator",
         {},
         {"/sl", "/tnp"},
         "<time> (0) tiff file(s), (0) total page(s)\n"},
    };
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Test output names a case by its name.
void PrintTo(const CliCase& run, std::ostream* out) {
    *out << run.name;
}

class BatchRuns : public ::testing::TestWithParam<CliCase> {
protected:
    std::string expand(const std::string& text, bool asReported) const {
        return test::withFolders(
            text, {{"{in}", folders.in}, {"{out}", folders.out}, {"{home}", folders.home}},
            asReported);
    }

    test::TempDir home;
    Folders folders{home.path(), home.path() / "in", home.path() / "out"};
};

TEST_P(BatchRuns, WritesItsRunLogEntry) {
    const CliCase& run = GetParam();
#ifdef _WIN32
    if (run.exitStatus == kWindowMode)
        GTEST_SKIP() << "a refused command line opens the window, and Windows always has a "
                        "display to open it on";
    for (const InputFile& input : run.inputs)
        if (std::any_of(input.name.begin(), input.name.end(),
                        [](char c) { return (unsigned char)c < 0x20; }))
            GTEST_SKIP() << "Windows allows no control characters in file names";
#endif
    std::filesystem::create_directory(folders.in);
    for (const InputFile& input : run.inputs) {
        if (input.pages.empty())
            test::writeTextFile(folders.in / input.name, input.text);
        else
            test::writeTiff(folders.in / input.name, input.pages);
        if (input.damage)
            input.damage(folders.in / input.name);
    }
    const std::string logPath = home.file("run.log");
    std::vector<std::string> arguments = {"/q", "/log=" + logPath};
    for (const std::string& argument : run.arguments)
        arguments.push_back(expand(argument, false));

    const std::filesystem::path program = test::builtProgram();
    const auto result = test::runProgram(program, arguments, home.path());
    EXPECT_EQ(result.exitCode, run.exitStatus);
    const bool refused = run.logEntry.empty();
    EXPECT_EQ(result.standardOutput, refused ? "" : "Please Wait...\n");
    // Standard error is a pipe here: no progress line.
    EXPECT_EQ(result.standardError, refused ? kSaveFolderRefused : "");

    std::vector<const char*> argv = {"pagesmith"};
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    const std::string header = "\nCMD : " + test::reportedProgramPath(program) + " " +
                               *commandLineText(int(argv.size()), argv.data());
    std::string expected = replaceAll(expand(run.logEntry, true), "{cmd}", header + "\n");
    expected = replaceAll(std::move(expected), "{sep}",
                          "--------------------------------------------------\n");
    EXPECT_EQ(test::maskTimeStamps(test::readTextFile(logPath)), expected);
    if (run.checkOutputs)
        run.checkOutputs(folders);
}

INSTANTIATE_TEST_SUITE_P(Table, BatchRuns, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<CliCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace pagesmith
