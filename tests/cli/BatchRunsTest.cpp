#include "cli/ProgramRunner.h"
#include "support/FolderText.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

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

// One input file: TIFF pages, or a text when it has none.
struct InputFile {
    std::string name;
    std::vector<TestPage> pages;
    std::string text;
};

// One run of the program over its inputs, the exact run-log entry it writes
// and its exit status. In arguments and entry, {in}, {out} and {home} stand
// for the folders, {cmd} for the command header line and {sep} for the
// separator; <time> is the masked time stamp. The runner adds "/q" and
// "/log=". An empty entry is a refused command line: no log, no batch. A path
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
        // Dithered pages get no page line.
        {"ColourPagesReachFaxAsDitheredPages",
         {tiff("colour.tif", {colour})},
         {"/d={in}", "/sd={out}", "/sc=g4"},
         kConvertHeader + "Convert: {in}/colour.tif -> {out}/colourg4.tif\r\n"
                          " (1) tiff file(s) converted\n{sep}",
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
#endif
    std::filesystem::create_directory(folders.in);
    for (const InputFile& input : run.inputs) {
        if (input.pages.empty())
            test::writeTextFile(folders.in / input.name, input.text);
        else
            test::writeTiff(folders.in / input.name, input.pages);
    }
    const std::string logPath = home.file("run.log");
    std::vector<std::string> arguments;
    for (const std::string& argument : run.arguments)
        arguments.push_back(expand(argument, false));
    arguments.push_back("/q");
    arguments.push_back("/log=" + logPath);

    const std::filesystem::path program = test::builtProgram();
    const auto result = test::runProgram(program, arguments, home.path());
    EXPECT_EQ(result.exitCode, run.exitStatus);
    const bool refused = run.logEntry.empty();
    EXPECT_EQ(result.standardOutput, refused ? "" : "Please Wait...\n");
    // Standard error is a pipe here: no progress line.
    EXPECT_EQ(result.standardError, refused ? kSaveFolderRefused : "");

    std::string header = "\nCMD : " + test::reportedProgramPath(program);
    for (const std::string& argument : arguments)
        header += " " + argument;
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
