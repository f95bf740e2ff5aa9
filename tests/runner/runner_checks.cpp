// Cases that tests/run_gtest.sh must report as failures although the
// program may end with status 0: a crash outside GoogleTest's own guard (a
// thread of the test, as the folder watcher's) and an exit in the middle of
// the run. Built only to check that runner; each case is picked by a filter.
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

namespace {

TEST(RunnerCheck, CrashesInAThread)
{
    std::thread reader([] {
        // A null read the compiler cannot see coming.
        const volatile char* missing = std::getenv("VANTREL_RUNNER_CHECK_UNSET");
        const char first = *missing;
        (void)first;
    });
    reader.join();
}

TEST(RunnerCheck, ExitsEarly)
{
    std::exit(0);
}

TEST(RunnerCheck, Passes)
{
    EXPECT_EQ(std::getenv("VANTREL_RUNNER_CHECK_UNSET"), nullptr);
}

}  // namespace
