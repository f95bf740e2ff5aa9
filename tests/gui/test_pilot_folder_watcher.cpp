// Watching the game's pilot folders from the main window: saves the game
// writes into a watched folder, in one step or two, and what the main window
// offers and adds to the log for them.
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <optional>
#include <random>

#include "GuiTestSupport.h"
#include "gui/mainwindow/MainLogEdit.h"
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
        ASSERT_TRUE(QDir().mkpath(gameFolder()));
    }

    // A Wine install of the game in the test's home folder.
    QString gameFolder() const { return homePath(QStringLiteral(".wine/drive_c/GOG Games/Star Wars - X-Wing Alliance")); }
    QString inGame(const QString& name) const { return QDir(gameFolder()).filePath(name); }

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

    QString logText() const { return control<MainLogEdit>(*windows->Form1, "Memo1").toPlainText(); }

    // The entry the pilot view gives the file in its export field.
    QString pilotViewEntry(const QString& path)
    {
        EXPECT_EQ(windows->PltFileView->ReadMission(path), 0);
        return control<QLineEdit>(*windows->PltFileView, "ExportEdit").text();
    }

    std::optional<ProgramWindows> windows;
    PilotFolderWatcher* watcher = nullptr;
    std::unique_ptr<QSignalSpy> offers;
};

TEST_F(PilotWatcherTest, SaveWrittenInTwoStepsIsOfferedOnceWhateverThePause)
{
    writeBytes(inGame(QStringLiteral("Tester.plt")), pilotAfter(1));
    startWatching();
    int missions = 1;
    for (const auto pause : {kQuiet / 3, kQuiet * 3}) {
        SCOPED_TRACE(pause.count());
        prompts.answers.push_back(false);
        saveInTwoSteps(inGame(QStringLiteral("Tester.plt")), pilotAfter(++missions), pause);
        EXPECT_EQ(offersAfterSettling(), 1);
        offers->clear();
    }
    EXPECT_TRUE(prompts.answers.empty());
    EXPECT_EQ(prompts.log.size(), 2u);
    // The offers stand over the main window, though no window is active.
    EXPECT_EQ(prompts.owners, std::vector<QWidget*>(2, windows->Form1.get()));
}

TEST_F(PilotWatcherTest, FileOfTheWrongSizeIsNotOffered)
{
    startWatching();
    writeBytes(inGame(QStringLiteral("Short.plt")), pilotAfter(1).chopped(1));
    writeBytes(inGame(QStringLiteral("Long.plt")), pilotAfter(1) + '\0');
    writeBytes(inGame(QStringLiteral("Tester.txt")), pilotAfter(1));
    EXPECT_TRUE(staysQuiet());
    EXPECT_TRUE(prompts.log.empty());

    // Completed, the file is offered.
    prompts.answers.push_back(false);
    writeBytes(inGame(QStringLiteral("Short.plt")), pilotAfter(1));
    EXPECT_EQ(offersAfterSettling(), 1);
    EXPECT_EQ(offers->at(0).at(0).toString(), inGame(QStringLiteral("Short.plt")));
}

// Bytes of a pilot's size that are no pilot file are never offered, as a new
// file or written over a pilot.
TEST_F(PilotWatcherTest, RandomBytesOfAPilotsSizeAreNotOffered)
{
    const QString pilot = inGame(QStringLiteral("Tester.plt"));
    writeBytes(pilot, pilotAfter(1));
    startWatching();
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
    prompts.answers.push_back(false);
    writeBytes(pilot, pilotAfter(2));
    EXPECT_EQ(offersAfterSettling(), 1);
    ASSERT_EQ(prompts.details.size(), 1u);
    EXPECT_NE(prompts.details[0].find("Campaign missions completed: 1 -> 2"), std::string::npos) << prompts.details[0];
}

// A save written in place that pauses after its first part: the torn file
// has the pilot's size, and its score copies disagree. It is not offered
// until it has stayed as it is for the longer period; the complete save,
// once written, is offered once.
TEST_F(PilotWatcherTest, ASaveCaughtHalfWayIsNotOfferedTorn)
{
    const QString pilot = inGame(QStringLiteral("Tester.plt"));
    writeBytes(pilot, pilotAfter(1));
    startWatching();
    prompts.answers = {false, false};
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
    ASSERT_EQ(prompts.details.size(), 1u);
    EXPECT_EQ(prompts.details[0].find(" | ! "), std::string::npos) << "offered torn, with the error mark";
    EXPECT_NE(prompts.details[0].find("Campaign missions completed: 1 -> 2"), std::string::npos) << prompts.details[0];

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

TEST_F(PilotWatcherTest, YesAddsExactlyTheSavesEntryAndNoAddsNothing)
{
    writeBytes(homePath(QStringLiteral("VANTREL_MainLog.txt")), "Earlier entry");
    writeBytes(inGame(QStringLiteral("Tester.plt")), pilotAfter(1));
    startWatching();
    ASSERT_EQ(logText(), QStringLiteral("Earlier entry"));
    ASSERT_FALSE(windows->Form1->isLogModified());

    prompts.answers.push_back(true);
    writeBytes(inGame(QStringLiteral("Tester.plt")), pilotAfter(2));
    ASSERT_EQ(offersAfterSettling(), 1);
    EXPECT_TRUE(offers->at(0).at(1).toBool());
    const QString entry = pilotViewEntry(inGame(QStringLiteral("Tester.plt")));
    ASSERT_FALSE(entry.isEmpty());
    EXPECT_EQ(logText(), QStringLiteral("Earlier entry\n") + entry);
    EXPECT_TRUE(windows->Form1->isLogModified());

    prompts.answers.push_back(false);
    writeBytes(inGame(QStringLiteral("Tester.plt")), pilotAfter(3));
    ASSERT_EQ(offersAfterSettling(), 2);
    EXPECT_FALSE(offers->at(1).at(1).toBool());
    EXPECT_EQ(logText(), QStringLiteral("Earlier entry\n") + entry);
}

TEST_F(PilotWatcherTest, OfferShowsTheEntryAndTheChangeSinceTheLastSaveSeen)
{
    const QString path = inGame(QStringLiteral("Tester.plt"));
    writeBytes(path, pilotAfter(2));
    startWatching();

    prompts.answers.push_back(false);
    writeBytes(path, pilotAfter(3));
    ASSERT_EQ(offersAfterSettling(), 1);
    const QString question = QStringLiteral("Tester.plt was saved by the game. Add its score entry to the log?");
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Confirmation: " + question.toStdString()});
    EXPECT_EQ(prompts.titles, std::vector<std::string>{"New pilot save"});
    ASSERT_EQ(prompts.details.size(), 1u);
    QStringList details = QString::fromStdString(prompts.details[0]).split(QLatin1Char('\n'));
    EXPECT_EQ(details.at(0), question + QStringLiteral(" | ") + pilotViewEntry(path));
    EXPECT_EQ(details.at(1), QString());
    EXPECT_EQ(details.at(2), QStringLiteral("Changes since the last save seen:"));
    EXPECT_TRUE(details.contains(QStringLiteral("Campaign missions completed: 2 -> 3")));
    EXPECT_TRUE(details.contains(QStringLiteral("Campaign total: 200 -> 300 (+100)")));

    // Told against the save offered last, although its entry was declined.
    prompts.answers.push_back(false);
    writeBytes(path, pilotAfter(5));
    ASSERT_EQ(offersAfterSettling(), 2);
    details = QString::fromStdString(prompts.details.at(1)).split(QLatin1Char('\n'));
    EXPECT_TRUE(details.contains(QStringLiteral("Campaign missions completed: 3 -> 5")));
    EXPECT_TRUE(details.contains(QStringLiteral("Campaign total: 300 -> 500 (+200)")));

    // Rewritten as it was: nothing to offer.
    writeBytes(path, pilotAfter(5));
    EXPECT_TRUE(staysQuiet());

    // A pilot the watcher has not seen before.
    prompts.answers.push_back(false);
    writeBytes(inGame(QStringLiteral("Rookie.plt")), pilotAfter(0));
    ASSERT_EQ(offersAfterSettling(), 3);
    details = QString::fromStdString(prompts.details.at(2)).split(QLatin1Char('\n'));
    EXPECT_EQ(details.at(2), QStringLiteral("No earlier save of this file was seen."));
}

TEST_F(PilotWatcherTest, SettingSwitchesWatchingAtStartAndAfterOk)
{
    const QString path = inGame(QStringLiteral("Tester.plt"));
    writeBytes(path, pilotAfter(1));
    startWatching(false);
    EXPECT_FALSE(watcher->isWatching());
    writeBytes(path, pilotAfter(2));
    EXPECT_TRUE(staysQuiet());

    // On in the settings dialog: watched from OK on.
    const auto setWatch = [this](bool on) {
        modal.whileShown = [on](QDialog& dialog) {
            control<QCheckBox>(dialog, "WatchFoldersCheckBox").setChecked(on);
        };
        modal.closeWith = [](QDialog& dialog) { click(dialog, "OKBtn"); };
        click(*windows->Form1, "Button1");
    };
    setWatch(true);
    EXPECT_TRUE(watcher->isWatching());
    prompts.answers.push_back(false);
    writeBytes(path, pilotAfter(3));
    ASSERT_EQ(offersAfterSettling(), 1);
    // What the game saved while nobody watched is the last save seen now.
    EXPECT_NE(prompts.details.at(0).find("Campaign missions completed: 2 -> 3"), std::string::npos);

    // Off: no further offers, also for a save that was settling.
    offers->clear();
    writeBytes(path, pilotAfter(4));
    setWatch(false);
    EXPECT_FALSE(watcher->isWatching());
    writeBytes(path, pilotAfter(5));
    EXPECT_TRUE(staysQuiet());
    EXPECT_EQ(prompts.log.size(), 1u);
}

TEST_F(PilotWatcherTest, FolderOfTheOpenDialogsStartIsWatchedToo)
{
    ASSERT_TRUE(QDir().mkpath(homePath(QStringLiteral("pilots"))));
    const QString path = homePath(QStringLiteral("pilots/Tester.plt"));
    writeBytes(path, pilotAfter(1));
    startWatching();
    EXPECT_EQ(watcher->watchedFolders(), QStringList({gameFolder(), homePath()}));

    // Opened from there, the pilot's folder is watched.
    prompts.files.push_back(path);
    click(*windows->Form1, "GetScoreButton");
    EXPECT_EQ(watcher->watchedFolders(), QStringList({gameFolder(), homePath(QStringLiteral("pilots"))}));
    const QString before = logText();

    prompts.answers.push_back(true);
    saveInTwoSteps(path, pilotAfter(2), kQuiet / 3);
    ASSERT_EQ(offersAfterSettling(), 1);
    EXPECT_EQ(logText(), before + pilotViewEntry(path) + QLatin1Char('\n'));
}

TEST_F(PilotWatcherTest, OfferWaitsWhileAnotherModalWindowIsOpen)
{
    const QString path = inGame(QStringLiteral("Tester.plt"));
    writeBytes(path, pilotAfter(1));
    startWatching();

    QDialog busy(windows->Form1.get());
    busy.setModal(true);
    busy.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &busy);
    writeBytes(path, pilotAfter(2));
    EXPECT_TRUE(staysQuiet());

    prompts.answers.push_back(false);
    busy.hide();
    EXPECT_EQ(offersAfterSettling(), 1);
}

}  // namespace
}  // namespace vantrel::testing
