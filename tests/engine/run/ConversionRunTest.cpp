#include "engine/run/ConversionRun.h"
#include "engine/run/PageSink.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace pagesmith {
namespace {

// An output that does what it is told page by page and notes what the run
// asked of it: "begin", "add", "drop", "remove", "finish", "abandon".
class ScriptedSink : public PageSink {
public:
    // What the next page added comes to: its step, and for an added page of
    // `length` rows the rows left blank, known at once or only once written.
    struct Page {
        PageStep step = PageStep::Added;
        std::uint64_t blankRows = 0;
        bool blankKnownAtOnce = true;
    };

    const std::string& path() const override { return m_path; }
    bool begin() override {
        calls += "begin ";
        return true;
    }
    PageStep addPage(TIFF*, int, ProgressReport& report, AddedPage& added) override {
        calls += "add ";
        const Page page = pages.empty() ? Page{} : pages.front();
        if (!pages.empty())
            pages.pop_front();
        if (page.step == PageStep::Failed)
            writeMessage<ReportMessage::Reason>(report, std::string("the page said why"));
        if (page.step != PageStep::Added)
            return page.step;
        auto damage = std::make_shared<PageDamage>();
        added.length = kLength;
        added.damage = damage;
        added.damageKnown = page.blankKnownAtOnce;
        if (page.blankKnownAtOnce)
            damage->unreadRows = page.blankRows;
        else
            m_learnedOnceWritten.push_back({damage, page.blankRows});
        return PageStep::Added;
    }
    bool dropPage() override {
        calls += "drop ";
        return true;
    }
    bool removeLastPage() override {
        calls += "remove ";
        return true;
    }
    OutputEnd finish() override {
        calls += "finish ";
        for (auto& [damage, rows] : m_learnedOnceWritten)
            damage->unreadRows = rows;
        return end;
    }
    void abandon() override { calls += "abandon "; }

    static constexpr std::uint32_t kLength = 10;
    std::deque<Page> pages;
    OutputEnd end = OutputEnd::Written;
    std::string calls;

private:
    std::string m_path = "out.tif";
    std::vector<std::pair<std::shared_ptr<PageDamage>, std::uint64_t>> m_learnedOnceWritten;
};

struct RunCase {
    const char* name;
    std::vector<ScriptedSink::Page> pages; // of two inputs of two pages each
    OutputEnd end;
    ConvertResult result;
    const char* lines; // {a} and {b}: the inputs
    const char* calls;
    int failures;
};

using P = ScriptedSink::Page;
constexpr std::uint64_t kAll = ScriptedSink::kLength;

const RunCase kCases[] = {
    {"PageLinesWaitForTheOutputsName",
     {},
     OutputEnd::Written,
     ConvertResult::Done,
     "Merge:   {a} -> out.tif\r\n  -- Page 0 success\r\n  -- Page 1 success\r\n"
     "Merge:   {b} -> out.tif\r\n  -- Page 0 success\r\n  -- Page 1 success\r\n",
     "begin add add add add finish ",
     0},
    {"AnOutputThatCannotBeWrittenFailsEveryPage",
     {},
     OutputEnd::Failed,
     ConvertResult::OutputUnusable,
     "Merge:   {a} -> out.tif\r\n  -- Page 0 failed\r\n  -- Page 1 failed\r\n"
     "Merge:   {b} -> out.tif\r\n  -- Page 0 failed\r\n  -- Page 1 failed\r\n"
     "  -- Failed: cannot create out.tif\r\n",
     "begin add add add add finish ",
     1},
    {"RowsFoundBlankOnceWrittenAreSaidThen",
     {P{}, P{PageStep::Added, 4, false}},
     OutputEnd::Written,
     ConvertResult::Done,
     "Merge:   {a} -> out.tif\r\n  -- Page 0 success\r\n"
     "  -- Page 1 damaged: 4 of 10 rows could not be read, left blank\r\n"
     "Merge:   {b} -> out.tif\r\n  -- Page 0 success\r\n  -- Page 1 success\r\n",
     "begin add add add add finish ",
     1},
    {"APageOfNoReadableRowComesOutAgain",
     {P{PageStep::Added, kAll, true}},
     OutputEnd::Written,
     ConvertResult::Done,
     "Merge:   {a} -> out.tif\r\n  -- Failed: none of the 10 rows of page 0 could be read\r\n"
     "  -- Page 0 failed\r\n  -- Page 1 success\r\n"
     "Merge:   {b} -> out.tif\r\n  -- Page 0 success\r\n  -- Page 1 success\r\n",
     "begin add remove add add add finish ",
     1},
    {"AFailedPageIsDroppedAndTheNextFollows",
     {P{PageStep::Failed}},
     OutputEnd::Written,
     ConvertResult::Done,
     "Merge:   {a} -> out.tif\r\n  -- the page said why\r\n  -- Page 0 failed\r\n"
     "  -- Page 1 success\r\nMerge:   {b} -> out.tif\r\n  -- Page 0 success\r\n"
     "  -- Page 1 success\r\n",
     "begin add drop add add add finish ",
     1},
    {"AnOutputThatTakesNoMoreEndsTheRunAndTheMerge",
     {P{}, P{PageStep::OutputFailed}},
     OutputEnd::Written,
     ConvertResult::OutputUnusable,
     "Merge:   {a} -> out.tif\r\n  -- Page 0 failed\r\n  -- Failed: cannot write out.tif\r\n"
     "  -- Page 1 failed\r\n  -- Failed: {b} not merged: out.tif cannot be written\r\n",
     "begin add add abandon ",
     2},
    {"NoPageAtAllLeavesNoOutput",
     {P{PageStep::Failed}, P{PageStep::Failed}, P{PageStep::Failed}, P{PageStep::Failed}},
     OutputEnd::Written,
     ConvertResult::NoPageWritten,
     "Merge:   {a} -> out.tif\r\n  -- the page said why\r\n  -- Page 0 failed\r\n"
     "  -- the page said why\r\n  -- Page 1 failed\r\nMerge:   {b} -> out.tif\r\n"
     "  -- the page said why\r\n  -- Page 0 failed\r\n  -- the page said why\r\n"
     "  -- Page 1 failed\r\n  -- Failed: no page written to out.tif\r\n",
     "begin add drop add drop add drop add drop abandon ",
     5},
    {"AStopWhileTheOutputIsWrittenLeavesNone",
     {},
     OutputEnd::Stopped,
     ConvertResult::Stopped,
     "Merge:   {a} -> out.tif\r\n  -- Page 0 failed\r\n  -- Page 1 failed\r\n"
     "Merge:   {b} -> out.tif\r\n  -- Page 0 failed\r\n  -- Page 1 failed\r\n"
     "  -- Stopped: out.tif not written\r\n",
     "begin add add add add finish abandon ",
     1},
};

void PrintTo(const RunCase& run, std::ostream* out) {
    *out << run.name;
}

std::string withInputs(std::string text, const std::string& a, const std::string& b) {
    for (const auto& [mark, path] : {std::pair{"{a}", a}, std::pair{"{b}", b}})
        for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark))
            text.replace(at, 3, path);
    return text;
}

class RunThroughASink : public ::testing::TestWithParam<RunCase> {};

// The run says the same of every page whatever the output: what the output
// did with it, once it is known whether the output was written whole.
TEST_P(RunThroughASink, SaysWhatBecameOfEveryPage) {
    const RunCase& run = GetParam();
    test::TempDir dir;
    const std::string a = dir.file("a.tif"), b = dir.file("b.tif");
    test::writeTiff(a, {test::faxPage(), test::faxPage()});
    test::writeTiff(b, {test::faxPage(), test::faxPage()});
    ScriptedSink sink;
    sink.pages.assign(run.pages.begin(), run.pages.end());
    sink.end = run.end;
    test::ReportRecorder report;
    const ConversionOptions options;

    EXPECT_EQ(ConversionRun(options, report, sink).run({a, b}), run.result);
    EXPECT_EQ(report.lines, withInputs(run.lines, a, b));
    EXPECT_EQ(sink.calls, run.calls);
    EXPECT_EQ(report.failures, run.failures);
}

INSTANTIATE_TEST_SUITE_P(Table, RunThroughASink, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pagesmith
