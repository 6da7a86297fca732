// The program started where it cannot show a window: it says so in one line and ends with
// status 1, without aborting.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string program = std::string(TONALITH_BINARY_DIR) + "/bin/tonalith";

struct NoDisplayCase {
    const char* name;
    const char* environment;  // what the program is started with
    const char* said;  // the one line it writes
};

class ProgramWithoutDisplay : public ::testing::TestWithParam<NoDisplayCase> {};

TEST_P(ProgramWithoutDisplay, SaysItCannotOpenTheDisplayAndExitsWithStatusOne) {
    const NoDisplayCase& given = GetParam();
    const std::string folder = ::testing::TempDir() + "program_start_" + given.name;
    const std::string errors = folder + ".err";
    const std::string command = std::string("env -u DISPLAY ") + given.environment + " XDG_CONFIG_HOME=" + folder +
        " " + program + " 2>" + errors + " >/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream in(errors);
    std::stringstream text;
    text << in.rdbuf();
    // Its own line first; a sanitizer's summary may follow it.
    EXPECT_EQ(text.str().substr(0, text.str().find('\n') + 1), std::string(given.said) + "\n") << text.str();
    EXPECT_EQ(text.str().find("terminate"), std::string::npos) << text.str();
}

INSTANTIATE_TEST_SUITE_P(Program, ProgramWithoutDisplay,
    ::testing::Values(NoDisplayCase{"unset", "", "tonalith: cannot open the display: DISPLAY is not set"},
        NoDisplayCase{"absent", "DISPLAY=:1999", "tonalith: cannot open the display \":1999\""}),
    [](const ::testing::TestParamInfo<NoDisplayCase>& param) { return std::string(param.param.name); });

}  // namespace
