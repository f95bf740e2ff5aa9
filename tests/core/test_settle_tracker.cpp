// When a file that another program writes, perhaps in several steps, is
// complete and has stayed as it is long enough to be taken up once.
#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "core/files/SettleTracker.h"
#include "core/pilot/PilotLayout.h"

using namespace vantrel;
using namespace std::chrono_literals;
namespace L = vantrel::layout;

namespace {

// Files as a test says they are, at a clock the test moves.
struct FakeFolder {
    std::map<std::string, FileIdentity> files;
    SettleTracker::Clock::time_point now{};
    std::int64_t writes = 0;

    // The file written to `size` bytes: a new modification time.
    std::optional<FileIdentity> write(const std::string& path, std::int64_t size)
    {
        FileIdentity& file = files[path];
        file.index = 7;
        file.size = size;
        file.mtimeNs = ++writes;
        return file;
    }
    std::optional<FileIdentity> look(const std::string& path) const
    {
        const auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional<FileIdentity>(it->second);
    }
    SettleTracker::Look looker() const
    {
        return [this](const std::string& path) { return look(path); };
    }
};

constexpr std::int64_t kComplete = L::kPilotFileSize;
constexpr auto kQuiet = 500ms;

TEST(SettleTracker, SaveWrittenInTwoStepsSettlesOnceWhateverThePause)
{
    for (const auto pause : {100ms, 400ms, 900ms, 3000ms}) {
        SCOPED_TRACE(pause.count());
        FakeFolder folder;
        SettleTracker tracker(kComplete, kQuiet);
        tracker.known("Tester.plt", std::nullopt);
        std::vector<std::string> settled;
        const auto runUntil = [&](SettleTracker::Clock::duration until) {
            // Decisions at every moment the tracker asks for, and in between.
            for (const auto end = folder.now + until; folder.now < end; folder.now += 50ms) {
                const auto now = tracker.settle(folder.now, folder.looker());
                settled.insert(settled.end(), now.begin(), now.end());
            }
        };

        tracker.noteChange("Tester.plt", folder.write("Tester.plt", kComplete / 2), folder.now);
        runUntil(pause);
        EXPECT_TRUE(settled.empty());
        tracker.noteChange("Tester.plt", folder.write("Tester.plt", kComplete), folder.now);
        runUntil(kQuiet - 50ms);
        EXPECT_TRUE(settled.empty()) << "settled before the quiet period was over";
        runUntil(5s);
        EXPECT_EQ(settled, std::vector<std::string>{"Tester.plt"});
        EXPECT_FALSE(tracker.hasPending());
        EXPECT_EQ(tracker.nextDecision(), std::nullopt);
    }
}

TEST(SettleTracker, OnlyACompleteFileIsReturnedAndOnlyAChangeCounts)
{
    FakeFolder folder;
    SettleTracker tracker(kComplete, kQuiet);
    const auto complete = folder.write("a.plt", kComplete);
    tracker.known("a.plt", complete);

    // Told of a change that is none (the folder changed for another file).
    tracker.noteChange("a.plt", complete, folder.now);
    EXPECT_FALSE(tracker.hasPending());

    // A file cut short, one grown too long, one removed: settled, never returned.
    for (const std::int64_t size : {kComplete - 1, kComplete + 1, std::int64_t{0}}) {
        tracker.noteChange("a.plt", folder.write("a.plt", size), folder.now);
        folder.now += kQuiet;
        EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{});
        EXPECT_FALSE(tracker.hasPending());
    }
    folder.files.erase("a.plt");
    tracker.noteChange("a.plt", std::nullopt, folder.now);
    folder.now += kQuiet;
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{});

    // Written again in full, it is returned once.
    tracker.noteChange("a.plt", folder.write("a.plt", kComplete), folder.now);
    ASSERT_EQ(tracker.nextDecision(), folder.now + kQuiet);
    folder.now += kQuiet;
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{"a.plt"});
    folder.now += kQuiet;
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{});
}

TEST(SettleTracker, AWriteNobodyToldOfStartsTheQuietPeriodAfresh)
{
    FakeFolder folder;
    SettleTracker tracker(kComplete, kQuiet);
    tracker.noteChange("a.plt", folder.write("a.plt", kComplete), folder.now);
    // Written again without a notice (notices may be merged or lost).
    folder.now += 400ms;
    folder.write("a.plt", kComplete);
    folder.now += 200ms;
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{});
    EXPECT_EQ(tracker.nextDecision(), folder.now + kQuiet);
    folder.now += kQuiet;
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{"a.plt"});

    // A repeated notice of the same state keeps the period running.
    tracker.noteChange("a.plt", folder.write("a.plt", kComplete), folder.now);
    const auto due = folder.now + kQuiet;
    folder.now += 300ms;
    tracker.noteChange("a.plt", folder.look("a.plt"), folder.now);
    EXPECT_EQ(tracker.nextDecision(), due);
}

// A save that looks torn (its error/cheat check finds errors) is held until
// it has stayed as it is for the longer period since its last change; a
// write that completes it meanwhile starts the usual period afresh.
TEST(SettleTracker, AHeldFileIsReturnedAgainOnlyOnceItHasStayedAsItIsForTheLongerPeriod)
{
    constexpr auto kLonger = 3s;
    FakeFolder folder;
    SettleTracker tracker(kComplete, kQuiet);
    const auto start = folder.now;
    tracker.noteChange("a.plt", folder.write("a.plt", kComplete), folder.now);
    folder.now += kQuiet;
    ASSERT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{"a.plt"});
    EXPECT_TRUE(tracker.holdUntilQuietFor("a.plt", kLonger, folder.now));
    EXPECT_EQ(tracker.nextDecision(), start + kLonger);
    for (; folder.now < start + kLonger; folder.now += 100ms)
        EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{}) << "returned torn";
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{"a.plt"});
    // It has waited long enough now.
    EXPECT_FALSE(tracker.holdUntilQuietFor("a.plt", kLonger, folder.now));
    EXPECT_FALSE(tracker.hasPending());

    // Held, then written to its end: the usual period from that write on.
    tracker.noteChange("a.plt", folder.write("a.plt", kComplete), folder.now);
    folder.now += kQuiet;
    ASSERT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{"a.plt"});
    ASSERT_TRUE(tracker.holdUntilQuietFor("a.plt", kLonger, folder.now));
    folder.now += 1s;
    folder.write("a.plt", kComplete);
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{});
    EXPECT_EQ(tracker.nextDecision(), folder.now + kQuiet);
    folder.now += kQuiet;
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{"a.plt"});
}

}  // namespace
