#include "cli/ProgramRunner.h"
#include "platform/Utf8Paths.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "support/WindowsProcess.h"
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pagesmith {
namespace {

// "pagesmith ... | head -1": the reader of standard output is gone before the
// program writes anything. Only the report on it is lost; the conversion and
// the run log happen, and the program ends normally.
TEST(ClosedOutput, LosesOnlyTheReportWhenItsReaderHasGone) {
    test::TempDir home;
    std::filesystem::create_directory(home.path() / "in");
    test::writeTiff(home.path() / "in" / "fax.tif", test::faxPage());
    const std::string logPath = home.file("run.log");
    const std::string program = platform::utf8FromPath(test::builtProgram());
    const std::string source = "/d=" + home.file("in"), save = "/sd=" + home.file("out");
    const std::string log = "/log=" + logPath;

#ifdef _WIN32
    // Windows has no SIGPIPE: the writes fail, and the program must carry on.
    test::InheritablePipe output;
    output.closeReader(); // no reader, ever
    test::WindowsProcess child({program, source, save, log}, {}, {output.writer, nullptr});
    output.closeWriter();
    EXPECT_EQ(child.wait(), 0);
#else
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    close(output[0]); // no reader, ever
    const pid_t child = fork();
    if (child == 0) {
        dup2(output[1], 1);
        const std::string homeVariable = "HOME=" + home.str();
        char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(source.c_str()),
                              const_cast<char*>(save.c_str()), const_cast<char*>(log.c_str()),
                              nullptr};
        char* const env[] = {const_cast<char*>(homeVariable.c_str()), nullptr};
        execve(argv[0], argv, env);
        _exit(127);
    }
    close(output[1]);
    int status = 0;
    waitpid(child, &status, 0);

    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
#endif
    EXPECT_EQ(test::countPages(home.path() / "out" / "faxg31.tif"), 1);
    EXPECT_NE(test::readTextFile(logPath).find(" (1) tiff file(s) converted\n"), std::string::npos);
}

} // namespace
} // namespace pagesmith
