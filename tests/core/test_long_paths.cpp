// Paths longer than the 260 characters (MAX_PATH) that Windows's classic
// calls stop at: a pilot and a main log deep in folders are read, saved and
// appended to as anywhere else.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "TestSupport.h"
#include "core/files/AtomicFile.h"
#include "core/mainlog/LogReader.h"
#include "core/mainlog/LogText.h"
#include "core/mainlog/LogWriter.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotSave.h"
#include "tests/support/PilotImage.h"
#ifdef _WIN32
#include "core/files/win32/Win32Files.h"
#endif

using namespace vantrel;
using namespace vantrel::testing;

namespace {

TEST(LongPaths, APilotAndALogPastMaxPathAreLoadedSavedAndAppended)
{
    TempDir dir;
    std::string deep = fileio::toUtf8(dir.path());
    for (int i = 0; deep.size() < 300; ++i)
        deep = text::joinPath(deep, "Squadron folder " + std::to_string(i));
    ASSERT_TRUE(createFolders(deep)) << deep;
    const std::string pilot = text::joinPath(deep, "J\xC3\xA4ger.plt");
#ifdef _WIN32
    // Wine takes long paths without the prefix as well; Windows does not.
    EXPECT_TRUE(win32::widePath(pilot).starts_with(L"\\\\?\\")) << pilot;
#endif

    // Put there by an atomic replace, read back whole and loaded.
    const std::string bytes = scrambledPilot(3).bytes();
    ASSERT_TRUE(replaceFileAtomically(pilot, bytes)) << pilot;
    std::string read;
    ASSERT_TRUE(fileio::readWholeFile(pilot, read));
    EXPECT_TRUE(read == bytes);
    PilotRecord record;
    const LoadResult loaded = ReadMission(record, pilot);
    ASSERT_TRUE(loaded.ok()) << loaded.cause;

    // Saved: its details change, in place of the old file.
    PilotDetailsEdit edit;
    edit.name = "Deep";
    const SaveResult saved = WritePilotDetails(pilot, record, edit);
    ASSERT_TRUE(saved.ok()) << saved.message();
    ASSERT_TRUE(fileio::readWholeFile(pilot, read = {}));
    EXPECT_EQ(read.size(), bytes.size());
    EXPECT_EQ(read.substr(0, 5), std::string("Deep\0", 5));

    // Two entries appended to a main log beside it, each under the log's lock.
    const std::string log = text::joinPath(deep, "VANTREL_MainLog.txt");
    for (const char* entry : {"Deep - Score: 1000 (1000+0)", "J\xC3\xA4ger - Score: 5 (5+0)"}) {
        const mainlog::LogLock lock(log);
        ASSERT_TRUE(lock.ok()) << lock.result().message() << " " << lock.result().cause();
        std::string text = mainlog::read(log).text;
        mainlog::appendLine(text, entry);
        mainlog::WriteOptions options;
        options.heldLock = &lock;
        const mainlog::WriteResult written = mainlog::write(log, text, options);
        ASSERT_TRUE(written.ok()) << written.message() << " " << written.cause();
    }
    const mainlog::ReadResult appended = mainlog::read(log);
    ASSERT_TRUE(appended.ok()) << appended.message();
    EXPECT_EQ(appended.text, "Deep - Score: 1000 (1000+0)\nJ\xC3\xA4ger - Score: 5 (5+0)\n");

    // Nothing else left there: no temporary file of a replace.
    EXPECT_EQ(entriesOf(fileio::toPath(deep)),
              (std::set<std::string>{"J\xC3\xA4ger.plt", "VANTREL_MainLog.txt", ".VANTREL_MainLog.txt.lock"}));
}

}  // namespace
