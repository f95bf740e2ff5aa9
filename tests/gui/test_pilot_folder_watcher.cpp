// Watching the game's pilot folders from the main window: saves the game
// writes into a watched folder, in one step or two, what the "New pilot
// saves" list offers and adds to the log for them, and the program's own
// saves (the pilot view, vantrel-cli set and restore) that it never offers.
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <chrono>
#include <optional>
#include <random>

#include "GuiTestSupport.h"
#include "gui/mainwindow/MainLogEdit.h"
#include "gui/watcher/NewSavesWindow.h"
#include "gui/watcher/PilotFolderWatcher.h"
#include "gui/pilotview/PltFile.h"
#include "gui/settings/SettingsDlg.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;

// Short, so that the tests are quick; the waits below are several of them.
constexpr auto kQuiet = 100ms;
constexpr auto kQuietWithErrors = 600ms;
constexpr int kOfferWaitMs = 3000;

class PilotWatcherTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // The journal of the program's own saves and the backups, this test's own.
        setEnvironment(kDataHomeVariable, corePath(homePath(QStringLiteral("data"))));
#ifdef _WIN32
        steamPath_.emplace("Software\\Valve\\Steam", "SteamPath", corePath(homePath(QStringLiteral("Steam"))));
        ASSERT_TRUE(steamPath_->set());
#endif
        ASSERT_TRUE(QDir().mkpath(gameFolder()));
    }

    // An install of the game as the system finds it: on Windows in the Steam
    // library that the registry names, elsewhere a Wine install in the
    // test's home folder.
    QString gameFolder() const
    {
#ifdef _WIN32
        return homePath(QStringLiteral("Steam/steamapps/common/Star Wars X-Wing Alliance"));
#else
        return homePath(QStringLiteral(".wine/drive_c/GOG Games/Star Wars - X-Wing Alliance"));
#endif
    }
    QString inGame(const QString& name) const
    {
        return QDir(gameFolder()).filePath(name);
    }

    void startWatching(bool on = true)
    {
        setSetting("WatchPilotFolders", on ? "1" : "0");
        windows.emplace(prompts, QStringList{QStringLiteral("vantrel")}, modal.show());
        watcher = windows->PilotWatcher;
        ASSERT_NE(watcher, nullptr);
        watcher->setQuietPeriods(kQuiet, kQuietWithErrors);
        offers = std::make_unique<QSignalSpy>(watcher, &PilotFolderWatcher::saveOffered);
    }

    // A pilot after `missions` campaign missions of 100 points each, its
    // score copies in agreement (the error/cheat check finds no error).
    static QByteArray pilotAfter(int missions)
    {
        PilotImage image;
        image.setText(layout::PilotName, "Tester");
        for (const auto& copy : {layout::TODScoreA, layout::TODScoreB, layout::TODScoreC, layout::TODScoreD})
            image.setInt(copy, 100 * missions);
        for (int i = 0; i < missions; ++i)
            image.setMission(layout::CampaignMissionRecords, static_cast<std::uint32_t>(i), {1, 1, 100, 60, 0});
        return QByteArray::fromStdString(image.bytes());
    }

    // Writes the file as the game may: the first half, a pause, the rest.
    static void saveInTwoSteps(const QString& path, const QByteArray& bytes, std::chrono::milliseconds pause)
    {
        const qsizetype half = bytes.size() / 2;
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(file.write(bytes.left(half)), half);
        }
        QTest::qWait(static_cast<int>(pause.count()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        ASSERT_EQ(file.write(bytes.mid(half)), bytes.size() - half);
    }

    // Waits for the next offer, then long enough for any further one.
    int offersAfterSettling()
    {
        if (offers->isEmpty())
            offers->wait(kOfferWaitMs);
        QTest::qWait(static_cast<int>(3 * kQuiet.count()));
        return static_cast<int>(offers->size());
    }

    // No further offer within several quiet periods.
    bool staysQuiet()
    {
        const qsizetype before = offers->size();
        return !offers->wait(static_cast<int>(5 * kQuiet.count())) && offers->size() == before;
    }

    QString logText() const
    {
        return control<MainLogEdit>(*windows->Form1, "Memo1").toPlainText();
    }

    // The entry the pilot view gives the file in its export field.
    QString pilotViewEntry(const QString& path)
    {
        EXPECT_EQ(windows->PltFileView->ReadMission(path), 0);
        return control<QLineEdit>(*windows->PltFileView, "ExportEdit").text();
    }

    // The list of offers and what it shows of the save of `path`. A list
    // that is missing fails the test, which then goes on without it.
    QTreeWidget* list() const
    {
        auto* saves = watcher->offers().findChild<QTreeWidget*>(QStringLiteral("SavesList"));
        EXPECT_NE(saves, nullptr);
        return saves;
    }
    int rowCount() const
    {
        QTreeWidget* saves = list();
        return saves != nullptr ? saves->topLevelItemCount() : -1;
    }
    QTreeWidgetItem* rowOf(const QString& path) const
    {
        QTreeWidget* saves = list();
        for (int k = 0; saves != nullptr && k < saves->topLevelItemCount(); ++k)
            if (saves->topLevelItem(k)->toolTip(TNewSavesWindow::kFileColumn) == shownPath(path))
                return saves->topLevelItem(k);
        return nullptr;
    }
    std::string changesOf(const QString& path) const
    {
        QTreeWidgetItem* row = rowOf(path);
        return row ? row->toolTip(TNewSavesWindow::kChangesColumn).toStdString() : "<not listed>";
    }
    QString entryOf(const QString& path) const
    {
        QTreeWidgetItem* row = rowOf(path);
        return row ? row->text(TNewSavesWindow::kEntryColumn) : QStringLiteral("<not listed>");
    }
    void addChecked() const
    {
        auto* add = watcher->offers().findChild<QPushButton*>(QStringLiteral("AddCheckedButton"));
        ASSERT_NE(add, nullptr);
        add->click();
    }

#ifdef _WIN32
    std::optional<ScopedUserRegistryValue> steamPath_;
#endif
    std::optional<ProgramWindows> windows;
    PilotFolderWatcher* watcher = nullptr;
    std::unique_ptr<QSignalSpy> offers;
};

TEST_F(PilotWatcherTest, SaveWrittenInTwoStepsIsOfferedOnceWhateverThePause)
{
    writeBytes(inGame(QStringLiteral("Tester.plt")), pilotAfter(1));
    ASSERT_NO_FATAL_FAILURE(startWatching());
    int missions = 1;
    for (const auto pause : {kQuiet / 3, kQuiet * 3}) {
        SCOPED_TRACE(pause.count());
        saveInTwoSteps(inGame(QStringLiteral("Tester.plt")), pilotAfter(++missions), pause);
        EXPECT_EQ(offersAfterSettling(), 1);
        offers->clear();
    }
    // One row for the file, in a list that belongs to the main window and
    // asks nothing.
    EXPECT_EQ(rowCount(), 1);
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_EQ(watcher->offers().parentWidget(), windows->Form1.get());
    EXPECT_TRUE(watcher->offers().isVisible());
}

TEST_F(PilotWatcherTest, FileOfTheWrongSizeIsNotOffered)
{
    ASSERT_NO_FATAL_FAILURE(startWatching());
    writeBytes(inGame(QStringLiteral("Short.plt")), pilotAfter(1).chopped(1));
    writeBytes(inGame(QStringLiteral("Long.plt")), pilotAfter(1) + '\0');
    writeBytes(inGame(QStringLiteral("Tester.txt")), pilotAfter(1));
    EXPECT_TRUE(staysQuiet());
    EXPECT_TRUE(prompts.log.empty());

    // Completed, the file is offered.
    writeBytes(inGame(QStringLiteral("Short.plt")), pilotAfter(1));
    ASSERT_EQ(offersAfterSettling(), 1);
    EXPECT_EQ(offers->at(0).at(0).toString(), shownPath(inGame(QStringLiteral("Short.plt"))));
}

// Bytes of a pilot's size that are no pilot file are never offered, as a new
// file or written over a pilot.
TEST_F(PilotWatcherTest, RandomBytesOfAPilotsSizeAreNotOffered)
{
    const QString pilot = inGame(QStringLiteral("Tester.plt"));
    writeBytes(pilot, pilotAfter(1));
    ASSERT_NO_FATAL_FAILURE(startWatching());
    std::mt19937 random(3);
    QByteArray noise(static_cast<qsizetype>(layout::kPilotFileSize), '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random());
    writeBytes(inGame(QStringLiteral("garbage.plt")), noise);
    writeBytes(pilot, noise);
    EXPECT_TRUE(staysQuiet());
    EXPECT_TRUE(prompts.log.empty());

    // The game's next save of the pilot is offered, told against the last
    // pilot seen.
    writeBytes(pilot, pilotAfter(2));
    EXPECT_EQ(offersAfterSettling(), 1);
    EXPECT_NE(changesOf(pilot).find("Campaign missions completed: 1 -> 2"), std::string::npos) << changesOf(pilot);
}

// A save written in place that pauses after its first part: the torn file
// has the pilot's size, and its score copies disagree. It is not offered
// until it has stayed as it is for the longer period; the complete save,
// once written, is offered once.
TEST_F(PilotWatcherTest, ASaveCaughtHalfWayIsNotOfferedTorn)
{
    const QString pilot = inGame(QStringLiteral("Tester.plt"));
    writeBytes(pilot, pilotAfter(1));
    ASSERT_NO_FATAL_FAILURE(startWatching());
    const QByteArray next = pilotAfter(2);
    // Up to the first score copy: the other three still hold the old score.
    const qsizetype part = layout::TODScoreA.offset + 4;
    {
        QFile file(pilot);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_EQ(file.write(next.left(part)), part);
    }
    QTest::qWait(static_cast<int>(4 * kQuiet.count()));
    {
        QFile file(pilot);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek(part));
        ASSERT_EQ(file.write(next.mid(part)), next.size() - part);
    }
    EXPECT_EQ(offersAfterSettling(), 1);
    EXPECT_FALSE(entryOf(pilot).startsWith(QStringLiteral("! "))) << "offered torn, with the error mark";
    EXPECT_NE(changesOf(pilot).find("Campaign missions completed: 1 -> 2"), std::string::npos) << changesOf(pilot);

    // Left torn for good, it is offered after the longer period, marked.
    {
        QFile file(pilot);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_EQ(file.write(pilotAfter(3).left(part)), part);
    }
    EXPECT_FALSE(offers->wait(static_cast<int>(4 * kQuiet.count())));
    EXPECT_TRUE(offers->wait(kOfferWaitMs));
    EXPECT_EQ(offers->size(), 2);
}

TEST_F(PilotWatcherTest, CheckedEntriesGoIntoTheLogAndUncheckedOnesDoNot)
{
    writeBytes(homePath(QStringLiteral("VANTREL_MainLog.txt")), "Earlier entry");
    const QString path = inGame(QStringLiteral("Tester.plt"));
    writeBytes(path, pilotAfter(1));
    ASSERT_NO_FATAL_FAILURE(startWatching());
    ASSERT_EQ(logText(), QStringLiteral("Earlier entry"));
    ASSERT_FALSE(windows->Form1->isLogModified());

    writeBytes(path, pilotAfter(2));
    ASSERT_EQ(offersAfterSettling(), 1);
    const QString entry = pilotViewEntry(path);
    ASSERT_FALSE(entry.isEmpty());
    EXPECT_EQ(entryOf(path), entry);
    ASSERT_NE(rowOf(path), nullptr);
    EXPECT_EQ(rowOf(path)->checkState(TNewSavesWindow::kEntryColumn), Qt::Checked);
    EXPECT_EQ(logText(), QStringLiteral("Earlier entry"));  // nothing before the click
    addChecked();
    EXPECT_EQ(logText(), QStringLiteral("Earlier entry\n") + entry);
    EXPECT_TRUE(windows->Form1->isLogModified());
    EXPECT_EQ(rowCount(), 0);

    writeBytes(path, pilotAfter(3));
    ASSERT_EQ(offersAfterSettling(), 2);
    rowOf(path)->setCheckState(TNewSavesWindow::kEntryColumn, Qt::Unchecked);
    addChecked();
    EXPECT_EQ(logText(), QStringLiteral("Earlier entry\n") + entry);
    EXPECT_EQ(rowCount(), 1);
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(PilotWatcherTest, OfferShowsTheEntryAndTheChangeSinceTheLastSaveSeen)
{
    const QString path = inGame(QStringLiteral("Tester.plt"));
    writeBytes(path, pilotAfter(2));
    ASSERT_NO_FATAL_FAILURE(startWatching());

    writeBytes(path, pilotAfter(3));
    ASSERT_EQ(offersAfterSettling(), 1);
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_EQ(watcher->offers().windowTitle(), QStringLiteral("New pilot saves"));
    EXPECT_EQ(entryOf(path), pilotViewEntry(path));
    QStringList details = QString::fromStdString(changesOf(path)).split(QLatin1Char('\n'));
    EXPECT_TRUE(details.contains(QStringLiteral("Campaign missions completed: 2 -> 3")));
    EXPECT_TRUE(details.contains(QStringLiteral("Campaign total: 200 -> 300 (+100)")));

    // Told against the save offered last, though its entry was not added;
    // the newer save takes the older one's row.
    writeBytes(path, pilotAfter(5));
    ASSERT_EQ(offersAfterSettling(), 2);
    EXPECT_EQ(rowCount(), 1);
    details = QString::fromStdString(changesOf(path)).split(QLatin1Char('\n'));
    EXPECT_TRUE(details.contains(QStringLiteral("Campaign missions completed: 3 -> 5")));
    EXPECT_TRUE(details.contains(QStringLiteral("Campaign total: 300 -> 500 (+200)")));

    // Rewritten as it was: nothing to offer.
    writeBytes(path, pilotAfter(5));
    EXPECT_TRUE(staysQuiet());

    // A pilot the watcher has not seen before.
    writeBytes(inGame(QStringLiteral("Rookie.plt")), pilotAfter(0));
    ASSERT_EQ(offersAfterSettling(), 3);
    EXPECT_EQ(changesOf(inGame(QStringLiteral("Rookie.plt"))), "no earlier save of this file was seen");
}

TEST_F(PilotWatcherTest, SettingSwitchesWatchingAtStartAndAfterOk)
{
    const QString path = inGame(QStringLiteral("Tester.plt"));
    writeBytes(path, pilotAfter(1));
    ASSERT_NO_FATAL_FAILURE(startWatching(false));
    EXPECT_FALSE(watcher->isWatching());
    writeBytes(path, pilotAfter(2));
    EXPECT_TRUE(staysQuiet());

    // On in the settings dialog: watched from OK on.
    const auto setWatch = [this](bool on) {
        modal.whileShown = [on](QDialog& dialog) { control<QCheckBox>(dialog, "WatchFoldersCheckBox").setChecked(on); };
        modal.closeWith = [](QDialog& dialog) { click(dialog, "OKBtn"); };
        click(*windows->Form1, "Button1");
    };
    setWatch(true);
    EXPECT_TRUE(watcher->isWatching());
    writeBytes(path, pilotAfter(3));
    ASSERT_EQ(offersAfterSettling(), 1);
    // What the game saved while nobody watched is the last save seen now.
    EXPECT_NE(changesOf(path).find("Campaign missions completed: 2 -> 3"), std::string::npos);

    // Off: no further offers, also for a save that was settling.
    offers->clear();
    writeBytes(path, pilotAfter(4));
    setWatch(false);
    EXPECT_FALSE(watcher->isWatching());
    writeBytes(path, pilotAfter(5));
    EXPECT_TRUE(staysQuiet());
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(PilotWatcherTest, FolderOfTheOpenDialogsStartIsWatchedToo)
{
    ASSERT_TRUE(QDir().mkpath(homePath(QStringLiteral("pilots"))));
    const QString path = homePath(QStringLiteral("pilots/Tester.plt"));
    writeBytes(path, pilotAfter(1));
    ASSERT_NO_FATAL_FAILURE(startWatching());
    // Named as the system names folders.
    EXPECT_EQ(watcher->watchedFolders(), QStringList({shownPath(gameFolder()), shownPath(homePath())}));

    // Opened from there, the pilot's folder is watched.
    prompts.files.push_back(path);
    click(*windows->Form1, "GetScoreButton");
    EXPECT_EQ(watcher->watchedFolders(),
              QStringList({shownPath(gameFolder()), shownPath(homePath(QStringLiteral("pilots")))}));
    const QString before = logText();

    saveInTwoSteps(path, pilotAfter(2), kQuiet / 3);
    ASSERT_EQ(offersAfterSettling(), 1);
    addChecked();
    EXPECT_EQ(logText(), before + pilotViewEntry(path) + QLatin1Char('\n'));
}

TEST_F(PilotWatcherTest, ASaveMadeWhileAnotherModalWindowIsOpenIsListedWithoutAQuestion)
{
    const QString path = inGame(QStringLiteral("Tester.plt"));
    writeBytes(path, pilotAfter(1));
    ASSERT_NO_FATAL_FAILURE(startWatching());

    QDialog busy(windows->Form1.get());
    busy.setModal(true);
    busy.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &busy);
    writeBytes(path, pilotAfter(2));
    EXPECT_EQ(offersAfterSettling(), 1);
    EXPECT_EQ(QApplication::activeModalWidget(), &busy);
    EXPECT_TRUE(prompts.log.empty());
    busy.hide();
}

TEST_F(PilotWatcherTest, FortyPilotsCopiedInGatherInOneListThatAsksNothing)
{
    ASSERT_NO_FATAL_FAILURE(startWatching());
    QDir(homePath()).mkpath(QStringLiteral("squad"));
    for (int k = 0; k < 40; ++k) {
        QByteArray pilot = pilotAfter(k % 5 + 1);
        pilot[1] = static_cast<char>('a' + k % 26);  // each its own name
        writeBytes(homePath(QStringLiteral("squad/P%1.plt").arg(k, 2, 10, QLatin1Char('0'))), pilot);
    }
    for (int k = 0; k < 40; ++k) {
        const QString name = QStringLiteral("P%1.plt").arg(k, 2, 10, QLatin1Char('0'));
        ASSERT_TRUE(QFile::copy(homePath(QStringLiteral("squad/") + name), inGame(name)));
    }
    QElapsedTimer clock;
    clock.start();
    while (offers->size() < 40 && clock.elapsed() < 20000)
        offers->wait(200);
    QTest::qWait(static_cast<int>(3 * kQuiet.count()));
    EXPECT_EQ(offers->size(), 40);
    EXPECT_EQ(rowCount(), 40);
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(watcher->offers().isVisible());
    EXPECT_EQ(watcher->offers().windowModality(), Qt::NonModal);

    const QString before = logText();
    addChecked();
    EXPECT_EQ(logText().split(QLatin1Char('\n'), Qt::SkipEmptyParts).size() -
                  before.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(),
              40);
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(PilotWatcherTest, AnEntryThatIsAlreadyTheLogsLastLineIsListedAsSuchAndUnchecked)
{
    const QString path = inGame(QStringLiteral("Tester.plt"));
    writeBytes(path, pilotAfter(1));
    ASSERT_NO_FATAL_FAILURE(startWatching());
    // The pilot view's close put the entry of this very save into the log.
    QDir(homePath()).mkpath(QStringLiteral("elsewhere"));
    const QString elsewhere = homePath(QStringLiteral("elsewhere/Tester.plt"));
    writeBytes(elsewhere, pilotAfter(2));
    windows->Form1->appendLogLine(pilotViewEntry(elsewhere));
    writeBytes(path, pilotAfter(2));
    ASSERT_EQ(offersAfterSettling(), 1);
    ASSERT_NE(rowOf(path), nullptr);
    EXPECT_EQ(rowOf(path)->checkState(TNewSavesWindow::kEntryColumn), Qt::Unchecked);
    EXPECT_EQ(changesOf(path).rfind("already the last line of the log", 0), 0u) << changesOf(path);

    // Another save's entry is not.
    writeBytes(path, pilotAfter(3));
    ASSERT_EQ(offersAfterSettling(), 2);
    EXPECT_EQ(rowOf(path)->checkState(TNewSavesWindow::kEntryColumn), Qt::Checked);
    EXPECT_EQ(changesOf(path).find("already the last line"), std::string::npos);
}

// The program's own saves are no saves of the game: a rename saved in the
// pilot view, vantrel-cli set and vantrel-cli restore are passed over, and
// the game's next save is told against them.
TEST_F(PilotWatcherTest, TheProgramsOwnSavesAreNeverOffered)
{
    const QString path = inGame(QStringLiteral("Tester.plt"));
    writeBytes(path, pilotAfter(2));
    const QString backup = homePath(QStringLiteral("kept.plt"));
    writeBytes(backup, pilotAfter(1));
    ASSERT_NO_FATAL_FAILURE(startWatching());
    QSignalSpy passed(watcher, &PilotFolderWatcher::ownSavePassed);

    // Renamed in the pilot view and saved.
    ASSERT_EQ(windows->PltFileView->ReadMission(path), 0);
    control<QLineEdit>(*windows->PltFileView, "PilotNameEdit").setText(QStringLiteral("Renamed"));
    prompts.answers = {true};
    click(*windows->PltFileView, "Button2");
    ASSERT_EQ(prompts.log.size(), 2u);
    ASSERT_EQ(prompts.log[1].rfind("Information: Update complete.", 0), 0u) << prompts.log[1];
    EXPECT_TRUE(staysQuiet());
    EXPECT_TRUE(passed.wait(kOfferWaitMs) || !passed.isEmpty());

    // vantrel-cli set, another process.
    const auto cli = [](const QStringList& arguments) {
        QProcess run;
        run.start(QStringLiteral(VANTREL_CLI_PATH), arguments);
        EXPECT_TRUE(run.waitForFinished(30000));
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    };
    cli({"set", "--name", "ByTheCli", "--rank", "4", path});
    EXPECT_TRUE(staysQuiet());

    // vantrel-cli restore, once the file has stayed as it is for two seconds.
    QTest::qWait(2200);
    cli({"restore", path, backup});
    EXPECT_TRUE(staysQuiet());
    EXPECT_EQ(rowCount(), 0);
    EXPECT_GE(passed.size(), 3);

    // The game's next save is offered, told against the restored file.
    writeBytes(path, pilotAfter(4));
    ASSERT_EQ(offersAfterSettling(), 1);
    EXPECT_NE(changesOf(path).find("Campaign missions completed: 1 -> 4"), std::string::npos) << changesOf(path);
}

}  // namespace
}  // namespace vantrel::testing
