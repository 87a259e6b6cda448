#include "batch/CommandLineParser.h"
#include "base/Paths.h"
#include "batch/BatchRequest.h"
#include "platform/PathRules.h"
#include "support/Codes.h"
#include "support/FolderText.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace pagesmith {
namespace {

using test::MessageRecorder;
using test::TempDir;
using test::TestPage;

const char* const kSaveFolderError =
    "Please set save-dir with '/sd=', and be sure it is not the same as source-dir";

class ParseCommandLine : public ::testing::Test {
protected:
    void SetUp() override { request.reset(); }

    int parse(const std::vector<std::string>& arguments) {
        return parseCommandLine(request, arguments, logPath, messages);
    }

    // A folder holding a Group 4 and an LZW file and a text file.
    std::string scanFolder() {
        const auto folder = dir.path() / "in";
        std::filesystem::create_directory(folder);
        TestPage fax;
        fax.bitsPerSample = 1;
        fax.photometric = PHOTOMETRIC_MINISWHITE;
        fax.compression = COMPRESSION_CCITTFAX4;
        test::writeTiff(folder / "fax.tif", fax);
        TestPage grey;
        grey.compression = COMPRESSION_LZW;
        test::writeTiff(folder / "grey.tif", grey);
        test::writeTextFile(folder / "notes.tif", "not a tiff");
        return folder.string();
    }

    std::vector<std::string> sortedNames() const {
        std::vector<std::string> names = request.fileNames;
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir;
    MessageRecorder messages;
    BatchRequest request;
    std::string logPath = "/default/log.txt";
};

TEST_F(ParseCommandLine, NoArgumentsOrOneEmptyArgumentChoosesTheWindow) {
    request.merge = 1;
    request.quiet = 1;
    EXPECT_EQ(parse({}), kNoCommandLine);
    EXPECT_EQ(request.merge, 0);
    EXPECT_EQ(request.quiet, 0);
    EXPECT_EQ(parse({""}), kEmptyCommandLine);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ParseCommandLine, AnyOtherArgumentsRunTheBatchEvenWithoutOptions) {
    EXPECT_EQ(parse({"   "}), kRunBatch);
    EXPECT_EQ(parse({"", ""}), kRunBatch);
    EXPECT_EQ(parse({"hello", "world"}), kRunBatch);
    EXPECT_EQ(request.operation, BatchOperation::CountPagesEach);
    EXPECT_TRUE(request.fileNames.empty());
    EXPECT_EQ(request.options.compressionMode, CompressionMode::Group3OneDimFill);
    EXPECT_EQ(request.options.jpegQuality, 75);
}

TEST_F(ParseCommandLine, SwitchesMatchWholeArgumentsInAnyCase) {
    EXPECT_EQ(parse({"/Q", "/K", "/SL"}), kRunBatch);
    EXPECT_EQ(request.quiet, 1);
    EXPECT_EQ(request.options.keepName, 1);
    EXPECT_EQ(request.options.shortLog, 1);

    request.options.shortLog = 0;
    EXPECT_EQ(parse({"/qq", "x/k", "/slow", "/q /k", " /sl "}), kRunBatch);
    EXPECT_EQ(request.quiet, 0);
    EXPECT_EQ(request.options.keepName, 0);
    EXPECT_EQ(request.options.shortLog, 0);
}

TEST_F(ParseCommandLine, CompressionAndFilterNamesPickTheirCodes) {
    parse({"/sc=g4", "/c=lzw"});
    EXPECT_EQ(request.options.compressionMode, CompressionMode::Group4);
    EXPECT_EQ(request.compressionFilter, CompressionFilter::Lzw);
    parse({"/SC=G31D", "/C=G3ALL"});
    EXPECT_EQ(request.options.compressionMode, CompressionMode::Group3OneDimFill);
    EXPECT_EQ(request.compressionFilter, CompressionFilter::Group3Any);
    // A PDF document is an output, never a filter.
    parse({"/sc=pdf", "/c=pdf"});
    EXPECT_EQ(request.options.compressionMode, CompressionMode::Pdf);
    EXPECT_EQ(request.compressionFilter, CompressionFilter::All);
    // Unknown names: PackBits for the output, every file for the filter.
    parse({"/sc=group4", "/c=fax"});
    EXPECT_EQ(request.options.compressionMode, CompressionMode::PackBits);
    EXPECT_EQ(request.compressionFilter, CompressionFilter::All);
    parse({"/sc="});
    EXPECT_EQ(request.options.compressionMode, CompressionMode::PackBits);
}

TEST_F(ParseCommandLine, FolderIsScannedAtOnceWithTheFilterGivenBeforeIt) {
    const std::string folder = scanFolder();
    EXPECT_EQ(parse({"/c=g4", "/d=" + folder, "/np"}), kRunBatch);
    EXPECT_EQ(request.sourceFolder, test::asReadFromOption(folder));
    EXPECT_EQ(request.fileNames, std::vector<std::string>{"fax.tif"});
    EXPECT_EQ(request.fileSelected, std::vector<int>{1});
    EXPECT_EQ(request.fileInfos.size(), 1u);

    // Given after the folder, the filter comes too late.
    parse({"/d=" + folder, "/c=g4", "/np"});
    EXPECT_EQ(sortedNames(), (std::vector<std::string>{"fax.tif", "grey.tif"}));
}

TEST_F(ParseCommandLine, ConvertsAFolderIntoASaveFolder) {
    const std::string folder = scanFolder();
    EXPECT_EQ(parse({"/d=" + folder, "/sd=" + dir.file("out"), "/k"}), kRunBatch);
    EXPECT_EQ(request.operation, BatchOperation::ConvertIntoFolder);
    EXPECT_EQ(request.saveFolder, test::asReadFromOption(dir.file("out")));
    EXPECT_EQ(request.options.keepName, 1);
    EXPECT_EQ(request.fileNames.size(), 2u);
}

// As a shell passes it, or with the quotes that reach the program from a
// command line that keeps them: one folder either way.
TEST_F(ParseCommandLine, AValueWithBlanksArrivesWholeQuotedOrNot) {
    const auto spaced = dir.path() / "my scans";
    std::filesystem::create_directory(spaced);
    test::writeTiff(spaced / "page.tif", TestPage{});
    for (const std::string quote : {"", "\""}) {
        SCOPED_TRACE(quote);
        EXPECT_EQ(parse({"/d=" + quote + spaced.string() + quote,
                         "/sd=" + quote + dir.file("out put") + quote, "/q"}),
                  kRunBatch);
        EXPECT_EQ(request.sourceFolder, test::asReadFromOption(spaced.string()));
        EXPECT_EQ(request.saveFolder, test::asReadFromOption(dir.file("out put")));
        EXPECT_EQ(request.fileNames, std::vector<std::string>{"page.tif"});
        EXPECT_EQ(request.quiet, 1);
    }
}

TEST_F(ParseCommandLine, OneFileIsSplitAtItsLastSeparator) {
    parse({"/f=/in/sub/one.tif", "/sf=/out/two.tif", "/sc=g4"});
    EXPECT_EQ(request.sourceFolder, "/in/sub");
    EXPECT_EQ(request.fileNames, std::vector<std::string>{"one.tif"});
    EXPECT_EQ(request.fileSelected, std::vector<int>{1});
    EXPECT_EQ(request.operation, BatchOperation::ConvertToNamedFile);
    EXPECT_EQ(request.saveFolder, "/out");
    EXPECT_EQ(request.saveName, "two.tif");
    EXPECT_EQ(request.options.compressionMode, CompressionMode::Group4);

    // No separator after the first character: the name alone, folders untouched.
    request.sourceFolder = "/kept";
    parse({"/f=one.tif"});
    EXPECT_EQ(request.sourceFolder, "");
    EXPECT_EQ(request.fileNames, std::vector<std::string>{"one.tif"});
}

TEST_F(ParseCommandLine, AFileAtTheRootIsReadFromTheRootOrFromTheFolderGivenBefore) {
    parse({"/f=/x.tif", "/np"});
    ASSERT_EQ(request.fileNames.size(), 1u);
    EXPECT_EQ(request.inputPath(0), "/x.tif");
    parse({"/d=/in", "/f=/x.tif", "/np"});
    ASSERT_EQ(request.fileNames.size(), 1u);
    EXPECT_EQ(request.inputPath(0), std::string("/in") + kPathSeparator + "x.tif");
}

TEST_F(ParseCommandLine, NamedLeftoversOfAnInterruptedRunAreCountedNotTaken) {
    parse({"/f=/in/a.tif.partial-Ab12Cd", "/np"});
    EXPECT_TRUE(request.fileNames.empty());
    EXPECT_EQ(request.leftoversLeftOut, 1);
    parse({"/m=a.tif,ag4.tif.partial-x9Y8z7,b.tif", "/sf=/out/all.tif"});
    EXPECT_EQ(request.fileNames, (std::vector<std::string>{"a.tif", "b.tif"}));
    EXPECT_EQ(request.leftoversLeftOut, 1);
    // Only the program's own pattern: six letters or digits after the mark.
    parse({"/m=a.tif.partial-abc,b.partial-abcdefg", "/sf=/out/all.tif"});
    EXPECT_EQ(request.fileNames.size(), 2u);
    EXPECT_EQ(request.leftoversLeftOut, 0);
}

TEST_F(ParseCommandLine, ValuesKeepTheirCaseWhereFileNamesDo) {
    parse({"/SF=/Out/Two.TIF", "/D=/In/Scans"});
    if (kCaseInsensitiveFileNames) {
        EXPECT_EQ(request.saveName, "two.tif");
    } else {
        EXPECT_EQ(request.saveName, "Two.TIF");
        EXPECT_EQ(request.saveFolder, "/Out");
        EXPECT_EQ(request.sourceFolder, "/In/Scans");
    }
    // Elsewhere only up to the first blank, as such a value was always read.
    parse({"/SF=/Out Put/Two.TIF"});
    EXPECT_EQ(request.saveFolder, kCaseInsensitiveFileNames ? "/out Put" : "/Out Put");
    EXPECT_EQ(request.saveName, "Two.TIF");
}

TEST_F(ParseCommandLine, MergeListIsSplitAtCommasUntilAnEmptyPiece) {
    parse({"/m=a.tif,b.tif", "/sf=/out/all.tif"});
    EXPECT_EQ(request.merge, 1);
    EXPECT_EQ(request.fileNames, (std::vector<std::string>{"a.tif", "b.tif"}));
    EXPECT_EQ(request.fileSelected, (std::vector<int>{1, 1}));

    parse({"/m=a.tif,,b.tif,c.tif", "/sf=/out/all.tif"});
    EXPECT_EQ(request.fileNames, (std::vector<std::string>{"a.tif", ",b.tif,c.tif"}));

    parse({"/m=a.tif,", "/sf=/out/all.tif"});
    EXPECT_EQ(request.fileNames, std::vector<std::string>{"a.tif"});
}

TEST_F(ParseCommandLine, AFolderAfterTheMergeListReplacesIt) {
    const std::string folder = scanFolder();
    parse({"/m=x.tif", "/d=" + folder, "/sf=" + dir.file("out/all.tif")});
    EXPECT_EQ(request.merge, 1);
    EXPECT_EQ(sortedNames(), (std::vector<std::string>{"fax.tif", "grey.tif"}));
}

TEST_F(ParseCommandLine, OperationsCombineInTheOrderGiven) {
    parse({"/sd=/out", "/tnp"});
    EXPECT_EQ(request.operation, BatchOperation::ConvertIntoFolderAndCount);
    parse({"/sf=/out/a.tif", "/tnp"});
    EXPECT_EQ(request.operation, BatchOperation::ConvertToNamedFileAndCount);
    parse({"/tnp"});
    EXPECT_EQ(request.operation, BatchOperation::CountTotalPages);
    parse({"/sd=/out", "/np"});
    EXPECT_EQ(request.operation, BatchOperation::CountPagesEach);
    parse({"/npx"});
    EXPECT_EQ(request.operation, BatchOperation::CountPagesEach);
}

TEST_F(ParseCommandLine, LogPathIsTakenForThisRunUnlessTooLong) {
    parse({"/log=/var/tmp/scan.log"});
    EXPECT_EQ(logPath, "/var/tmp/scan.log");
    parse({"/log=/" + std::string(platform::maxPathLength(), 'x')});
    EXPECT_EQ(logPath, "/var/tmp/scan.log");
}

TEST_F(ParseCommandLine, ConvertingWithoutAUsableSaveFolderIsRefused) {
    const std::string folder = scanFolder();
    const std::vector<std::vector<std::string>> refused = {
        {"/d=" + folder, "/sd=" + folder},
        {"/sd=" + folder, "/tnp", "/d=" + folder},
        {"/f=" + folder + "/fax.tif", "/sf=" + folder + "/fax-copy.tif"},
        {"/d=" + folder, "/sf=bare.tif"},
        // The same folder spelled differently would still overwrite the sources.
        {"/d=" + folder, "/sd=" + folder + "/"},
        {"/d=" + folder, "/sd=" + folder + "/./"},
        // A merge without a target would write into the file-system root.
        {"/m=a.tif,b.tif"},
    };
    for (const std::vector<std::string>& arguments : refused) {
        messages.messages.clear();
        EXPECT_EQ(parse(arguments), kNoSaveFolder) << arguments[0];
        ASSERT_EQ(messages.messages.size(), 1u) << arguments[0];
        EXPECT_EQ(messages.messages[0].caption, "ERROR Save Folder");
        EXPECT_EQ(messages.messages[0].text, kSaveFolderError);
        EXPECT_EQ(messages.messages[0].kind, MessageKind::Error);
    }
}

TEST_F(ParseCommandLine, SymbolicLinkToTheSourceFolderIsTheSameFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "the standard library of the Windows build makes no links";
#else
    const std::string folder = scanFolder();
    std::filesystem::create_directory_symlink(folder, dir.path() / "link");
    EXPECT_EQ(parse({"/d=" + folder, "/sd=" + dir.file("link")}), kNoSaveFolder);
#endif
}

TEST_F(ParseCommandLine, TheSourceFolderSpelledOtherwiseIsTheSameFolder) {
    const std::string folder = scanFolder();
    std::vector<std::string> spellings = {
        folder + kPathSeparator, joinPath(joinPath(folder, ".."), "in"), joinPath(folder, ".")};
#ifdef _WIN32
    // Either separator, and names in any case, the drive letter's too.
    std::string otherCase = folder;
    for (char& c : otherCase)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    std::string slashes = folder;
    std::replace(slashes.begin(), slashes.end(), '\\', '/');
    spellings.insert(spellings.end(), {otherCase, slashes + "/"});
#endif
    for (const std::string& spelling : spellings)
        EXPECT_EQ(parse({"/d=" + folder, "/sd=" + spelling}), kNoSaveFolder) << spelling;
    EXPECT_EQ(parse({"/d=" + folder, "/sd=" + folder + "2"}), kRunBatch);
}

TEST_F(ParseCommandLine, CountingNeedsNoSaveFolder) {
    const std::string folder = scanFolder();
    EXPECT_EQ(parse({"/d=" + folder, "/np"}), kRunBatch);
    EXPECT_EQ(parse({"/d=" + folder, "/tnp"}), kRunBatch);
    EXPECT_EQ(parse({"/sd=" + folder, "/d=" + folder, "/np"}), kRunBatch);
    EXPECT_TRUE(messages.messages.empty());
}

// Arguments that each must stay one option, and what the request then holds.
struct ArgumentCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string sourceFolder;
    std::vector<std::string> fileNames;
    std::string logPath;
    int quiet;
};

const char* const kDefaultLog = "/default/log.txt";

std::vector<ArgumentCase> argumentCases() {
    return {
        {"AQuoteInAFileNameStartsNoOption",
         {"/f=/in/a\" /log=/victim/victim.txt \"/scan.tif"},
         "/in/a\" /log=/victim/victim.txt \"",
         {"scan.tif"},
         kDefaultLog,
         0},
        {"WhatFollowsAClosingQuoteIsNoOption",
         {"/f=\"/in/a.tif\" /q /log=/victim.txt"},
         "/in",
         {"a.tif"},
         kDefaultLog,
         0},
        {"AQuoteClosedInItsArgumentLeavesTheNextOneAlone",
         {"/log=\"/tmp/x.txt\"", "/q"},
         "",
         {},
         "/tmp/x.txt",
         1},
        {"AnUnclosedQuoteTakesTheRestOfItsArgument",
         {"/log=\"/tmp/a b /q  ", "/q"},
         "",
         {},
         "/tmp/a b /q",
         1},
        {"AQuoteInsideAValueIsPartOfIt", {"/log=/tmp/x.txt\" /q"}, "", {}, "/tmp/x.txt\" /q", 0},
        {"AFileNameMayHoldBlanks",
         {"/f=/my scans/a b.tif"},
         "/my scans",
         {"a b.tif"},
         kDefaultLog,
         0},
        {"AWordWithBlanksIsNoSwitch", {"/q /k", "/q x=y", " /q"}, "", {}, kDefaultLog, 0},
        {"MergeNamesMayHoldBlanks",
         {"/m=a b.tif,c.tif", "/sf=/out/all.tif"},
         "",
         {"a b.tif", "c.tif"},
         kDefaultLog,
         0},
    };
}

void PrintTo(const ArgumentCase& given, std::ostream* out) {
    *out << given.name;
}

class ParseArguments : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ParseArguments, TakesEachArgumentAsOneOption) {
    const ArgumentCase& given = GetParam();
    BatchRequest request;
    request.reset();
    test::MessageRecorder messages;
    std::string logPath = kDefaultLog;
    EXPECT_EQ(parseCommandLine(request, given.arguments, logPath, messages), kRunBatch);
    EXPECT_EQ(request.sourceFolder, given.sourceFolder);
    EXPECT_EQ(request.fileNames, given.fileNames);
    EXPECT_EQ(logPath, given.logPath);
    EXPECT_EQ(request.quiet, given.quiet);
}

INSTANTIATE_TEST_SUITE_P(Table, ParseArguments, ::testing::ValuesIn(argumentCases()),
                         [](const ::testing::TestParamInfo<ArgumentCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace pagesmith

namespace pagesmith {
namespace {

struct WatchCase {
    std::vector<std::string> arguments;
    int on;
    int settleMilliseconds; // -1: not a number of seconds
    int fileNamed;
};

class ParseWatchOptions : public ::testing::TestWithParam<WatchCase> {};

// A watch leaves its refusals to whoever runs it: even without a save folder
// there is no "ERROR Save Folder" box.
TEST_P(ParseWatchOptions, TakesWatchAndSettleWithoutTheSaveFolderBox) {
    const WatchCase& watch = GetParam();
    BatchRequest request;
    request.reset();
    test::MessageRecorder messages;
    std::string logPath;
    EXPECT_EQ(parseCommandLine(request, watch.arguments, logPath, messages), kRunBatch);
    EXPECT_EQ(request.watch.on, watch.on);
    EXPECT_EQ(request.watch.settleMilliseconds, watch.settleMilliseconds);
    EXPECT_EQ(request.watch.fileNamed, watch.fileNamed);
    if (watch.on) {
        EXPECT_TRUE(messages.messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseWatchOptions,
    ::testing::Values(WatchCase{{"/watch", "/d=/in"}, 1, 2000, 0},
                      WatchCase{{"/WATCH", "/Settle=1.5", "/d=/in", "/sd=/out"}, 1, 1500, 0},
                      WatchCase{{"/watch", "/settle=0", "/f=/in/a.tif"}, 1, 0, 1},
                      WatchCase{{"/watch", "/settle=-1", "/d=/in"}, 1, -1, 0},
                      WatchCase{{"/watch", "/settle=2s", "/d=/in"}, 1, -1, 0},
                      WatchCase{{"/watch", "/settle=2 s", "/d=/in"}, 1, -1, 0},
                      WatchCase{{"/watchful", "/d=/in", "/sd=/out"}, 0, 2000, 0}));

} // namespace
} // namespace pagesmith
