// Saving pilot details from the pilot view: the question, what reaches the
// file, the backup before the first save, and failures told as failures.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include "TestSupport.h"
#include "GuiTestSupport.h"
#include "gui/pilotview/PltFile.h"

namespace vantrel::testing {
namespace {

class PilotSaveDialogTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        setEnvironment(kDataHomeVariable, corePath(homePath(QStringLiteral("data"))));
        view = std::make_unique<TPltFileView>(prompts, [] {});
        path = pilotWithMissions(3, QStringLiteral("Wedge Antilles.plt"));
        ASSERT_EQ(view->ReadMission(path), 0);
        prompts.log.clear();
    }
    QStringList backupFiles() const
    {
        return QDir(homePath(QStringLiteral("data/vantrel/backups"))).entryList(QDir::Files);
    }

    std::unique_ptr<TPltFileView> view;
    QString path;
};

TEST_F(PilotSaveDialogTest, AnsweringNoWritesNothing)
{
    const QByteArray before = fileBytes(path);
    control<QLineEdit>(*view, "PilotNameEdit").setText(QStringLiteral("Changed"));
    prompts.answers = {false};
    click(*view, "Button2");
    EXPECT_EQ(prompts.log,
              (std::vector<std::string>{"Information: Ready to update " + corePath(path) + ". Is it ok to proceed?"}));
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(backupFiles().isEmpty());
}

// Completed missions are never taken away: the edit is refused, with the
// text vantrel-cli and the page give, before anything is asked.
TEST_F(PilotSaveDialogTest, AnActiveMissionAtOrBeforeTheCompletedOnesIsRefusedBeforeTheQuestion)
{
    const QByteArray before = fileBytes(path);
    control<QLineEdit>(*view, "PilotNameEdit").setText(QStringLiteral("Changed"));
    control<QComboBox>(*view, "ActiveMissionBox").setCurrentIndex(1);
    click(*view, "Button2");
    EXPECT_EQ(
        prompts.log,
        (std::vector<std::string>{"Error: Active mission 2 is not after the 3 completed missions of " + corePath(path) +
                                  "; completed missions are never removed. Nothing was written."}));
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(backupFiles().isEmpty());
}

TEST_F(PilotSaveDialogTest, YesWritesTheControlsAndBacksTheFileUpOnce)
{
    const QByteArray before = fileBytes(path);
    control<QLineEdit>(*view, "PilotNameEdit").setText(QStringLiteral("Wedge"));
    control<QComboBox>(*view, "RankBox").setCurrentIndex(6);
    control<QComboBox>(*view, "RatingBox").setCurrentIndex(-1);  // no selection: the file keeps its rating
    control<QComboBox>(*view, "ActiveMissionBox").setCurrentIndex(5);
    prompts.answers = {true, true};
    click(*view, "Button2");
    click(*view, "Button2");
    ASSERT_EQ(prompts.log.size(), 4u);
    // The save that made the backup says where it is; the next one made none.
    const QStringList made = backupFiles();
    ASSERT_EQ(made.size(), 1);
    const std::string backup = text::joinPath(paths::backupDirectory(), made.front().toStdString());
    EXPECT_EQ(prompts.log[1], "Information: Update complete.\nA copy of the file as it was is kept in " + backup + ".");
    EXPECT_EQ(prompts.log[3], "Information: Update complete.");

    PilotImage after;
    after.bytes() = fileBytes(path).toStdString();
    EXPECT_EQ(after.bytes().substr(0, 13), std::string("Wedge") + std::string(8, '\0'));
    EXPECT_EQ(after.intAt(layout::Rank.offset), 6);
    EXPECT_EQ(after.intAt(layout::Rating.offset), 5);
    EXPECT_EQ(after.intAt(layout::missionRecordOffset(layout::CampaignMissionRecords, 4) + layout::record::kStatus), 1);

    const QStringList backups = backupFiles();
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(backups.front().startsWith(QStringLiteral("Wedge Antilles.")));
    EXPECT_EQ(fileBytes(homePath(QStringLiteral("data/vantrel/backups/")) + backups.front()), before);
}

// A journal of own saves that cannot be written (a folder in its place) does
// not undo the save: the window says both, naming the journal and the cause.
TEST_F(PilotSaveDialogTest, ASaveTheJournalCannotNoteStandsAndTheWindowSaysWhy)
{
    ASSERT_TRUE(QDir().mkpath(homePath(QStringLiteral("data/vantrel"))));
    const QString journal = homePath(QStringLiteral("data/vantrel/own-saves.txt"));
    ASSERT_TRUE(QDir().mkpath(journal));
    const QByteArray before = fileBytes(path);
    control<QComboBox>(*view, "RankBox").setCurrentIndex(4);
    prompts.answers = {true};
    click(*view, "Button2");
    ASSERT_EQ(prompts.log.size(), 2u);
    ASSERT_TRUE(QFileInfo(fromCorePath(paths::ownSavesJournal())) == QFileInfo(journal));
    const std::string told = "Cannot create file " + paths::ownSavesJournal() +
                             ". The save stands, but it is not noted as Vantrel's own, so a watching Vantrel may "
                             "offer it as a save of the game.";
    EXPECT_EQ(prompts.log[1].rfind("Warning: Update complete.\nA copy of the file as it was is kept in ", 0), 0u)
        << prompts.log[1];
    EXPECT_TRUE(prompts.log[1].ends_with("\n" + told)) << prompts.log[1];
    ASSERT_FALSE(prompts.details.empty());
    EXPECT_TRUE(prompts.details.back().ends_with(told + " | it is not a regular file")) << prompts.details.back();
    EXPECT_NE(fileBytes(path), before);
}

TEST_F(PilotSaveDialogTest, ASaveThatChangesNothingMakesNoBackupAndSaysNoMoreThanUpdateComplete)
{
    const QByteArray before = fileBytes(path);
    prompts.answers = {true};
    click(*view, "Button2");
    EXPECT_EQ(prompts.log,
              (std::vector<std::string>{"Information: Ready to update " + corePath(path) + ". Is it ok to proceed?",
                                        "Information: Update complete."}));
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(backupFiles().isEmpty());
}

TEST_F(PilotSaveDialogTest, APastedNameWithALineBreakOrTabIsRefused)
{
    control<QLineEdit>(*view, "PilotNameEdit").setText(QStringLiteral("Wes"));
    for (const QString& pasted : {QStringLiteral("Two\nLines"), QStringLiteral("Tab\tx"), QStringLiteral("Del\x7f")}) {
        QApplication::clipboard()->setText(pasted);
        control<QLineEdit>(*view, "PilotNameEdit").end(false);
        control<QLineEdit>(*view, "PilotNameEdit").paste();
        EXPECT_EQ(control<QLineEdit>(*view, "PilotNameEdit").text(), QStringLiteral("Wes")) << pasted.toStdString();
    }
}

TEST_F(PilotSaveDialogTest, AReadOnlyPilotIsRefusedWithItsCauseBelowTheFixedText)
{
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    const QByteArray before = fileBytes(path);
    control<QLineEdit>(*view, "PilotNameEdit").setText(QStringLiteral("Changed"));
    prompts.answers = {true};
    click(*view, "Button2");
    ASSERT_EQ(prompts.log.size(), 2u);
    const std::string text = "Cannot open " + corePath(path) + " for writing. Nothing was written.";
    EXPECT_EQ(prompts.log[1], "Error: " + text);
    EXPECT_EQ(prompts.details, std::vector<std::string>{text + " | the file is read-only"});
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(backupFiles().isEmpty());
}

TEST_F(PilotSaveDialogTest, AFailedSaveIsAnErrorNotUpdateComplete)
{
    FailingFileAccess files;
    files.replaceFailure = "No space left on device";
    view = std::make_unique<TPltFileView>(
        prompts, [] {}, nullptr, files);
    ASSERT_EQ(view->ReadMission(path), 0);
    prompts.log.clear();
    const QByteArray before = fileBytes(path);
    control<QLineEdit>(*view, "PilotNameEdit").setText(QStringLiteral("Changed"));
    prompts.answers = {true};
    click(*view, "Button2");
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_EQ(prompts.log[1],
              "Error: Cannot update " + corePath(path) + ": No space left on device. Nothing was written.");
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(PilotSaveDialogTest, AFileReplacedSinceTheLoadIsLeftAlone)
{
    writeBytes(path, QByteArray(100, 'x'));
    prompts.answers = {true};
    click(*view, "Button2");
    EXPECT_EQ(prompts.log[1], "Error: Cannot update " + corePath(path) +
                                  ": its length is 100 bytes, not 152.076. Nothing was written.");
    EXPECT_EQ(fileBytes(path), QByteArray(100, 'x'));
}

// The game saved the pilot while the view showed it: a newer rank and
// Kalidor Crescent, written in place, renamed over it, or written with the
// modification time put back. Saving the details shown would put the old
// values back, so Save asks first, and No leaves the game's file.
TEST_F(PilotSaveDialogTest, AFileTheGameSavedSinceTheLoadIsWrittenOverOnlyAfterAWarning)
{
    const std::string loaded = fileBytes(path).toStdString();
    PilotImage game;
    game.bytes() = loaded;
    game.setInt(layout::Rank, 7);
    game.setInt(layout::KalidorCrescent, 3);
    const QString gameFile = homePath(QStringLiteral("game.plt"));
    const QString pathText = path;
    const std::string warning = "Warning, default No: " + corePath(pathText) +
                                " was changed by another program (the game?) since it was opened. Saving writes every "
                                "detail shown over it. Save anyway?";
    const std::string ready = "Information: Ready to update " + corePath(pathText) + ". Is it ok to proceed?";

    struct Case {
        const char* how;
        std::function<void()> save;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"written in place", [&] { writeBytes(path, QByteArray::fromStdString(game.bytes())); }, game.bytes()},
        {"renamed over it with the same bytes",
         [&] {
             writeBytes(gameFile, QByteArray::fromStdString(loaded));
             ASSERT_TRUE(QFile::remove(path));
             ASSERT_TRUE(QFile::rename(gameFile, path));
         },
         loaded},
        {"written in place with the modification time put back",
         [&] {
             ASSERT_TRUE(keepingFileTimes(path.toStdString(),
                                          [&] { writeBytes(path, QByteArray::fromStdString(game.bytes())); }));
         },
         game.bytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        writeBytes(path, QByteArray::fromStdString(loaded));
        ASSERT_EQ(view->ReadMission(path), 0);
        prompts.log.clear();
        c.save();
        control<QLineEdit>(*view, "PilotNameEdit").setText(QStringLiteral("Renamed"));
        prompts.answers = {true, false};
        click(*view, "Button2");
        EXPECT_EQ(prompts.log, (std::vector<std::string>{ready, warning}));
        EXPECT_TRUE(fileBytes(path).toStdString() == c.expected) << "the game's file was written over";
        EXPECT_TRUE(backupFiles().isEmpty());
    }

    // Yes writes what the view shows, and the next Save knows the file it wrote.
    prompts.log.clear();
    prompts.answers = {true, true, true};
    click(*view, "Button2");
    control<QLineEdit>(*view, "PilotNameEdit").setText(QStringLiteral("Again"));
    click(*view, "Button2");
    ASSERT_EQ(prompts.log.size(), 5u);
    EXPECT_EQ(prompts.log[1], warning);
    EXPECT_EQ(prompts.log[2].rfind("Information: Update complete.", 0), 0u) << prompts.log[2];
    EXPECT_EQ(prompts.log[3], ready);
    EXPECT_EQ(prompts.log[4], "Information: Update complete.");
    PilotImage after;
    after.bytes() = fileBytes(path).toStdString();
    EXPECT_EQ(after.bytes().substr(0, 6), std::string("Again") + '\0');
    PilotImage was;
    was.bytes() = loaded;
    EXPECT_EQ(after.intAt(layout::Rank.offset), was.intAt(layout::Rank.offset));
}

// Save writes the file the view loaded, not whatever its title shows.
TEST_F(PilotSaveDialogTest, SaveWritesTheLoadedFileWhateverTheTitleShows)
{
    const QString other = pilotWithMissions(1, QStringLiteral("Other.plt"));
    const QByteArray otherBefore = fileBytes(other);
    view->setWindowTitle(other);
    control<QLineEdit>(*view, "PilotNameEdit").setText(QStringLiteral("Wedge"));
    prompts.answers = {true};
    click(*view, "Button2");
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_EQ(prompts.log[0], "Information: Ready to update " + corePath(path) + ". Is it ok to proceed?");
    EXPECT_EQ(fileBytes(other), otherBefore);
    PilotImage after;
    after.bytes() = fileBytes(path).toStdString();
    EXPECT_EQ(after.bytes().substr(0, 6), std::string("Wedge") + '\0');
}

TEST_F(PilotSaveDialogTest, ABackupThatCannotBeMadeBlocksTheSave)
{
    QDir(homePath()).mkpath(QStringLiteral("data/vantrel"));
    writeBytes(homePath(QStringLiteral("data/vantrel/backups")), "not a folder");
    const QByteArray before = fileBytes(path);
    control<QLineEdit>(*view, "PilotNameEdit").setText(QStringLiteral("Other"));
    prompts.answers = {true};
    click(*view, "Button2");
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_EQ(prompts.log[1].rfind("Error: Cannot back up ", 0), 0u) << prompts.log[1];
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(PilotSaveDialogTest, TheNameFieldTakesTwelveStorableCharacters)
{
    control<QLineEdit>(*view, "PilotNameEdit").clear();
    control<QLineEdit>(*view, "PilotNameEdit").setFocus();
    typeText(control<QLineEdit>(*view, "PilotNameEdit"), QStringLiteral("ABCDEFGHIJKLMN"));
    EXPECT_EQ(control<QLineEdit>(*view, "PilotNameEdit").text(), QStringLiteral("ABCDEFGHIJKL"));
    control<QLineEdit>(*view, "PilotNameEdit").clear();
    typeText(control<QLineEdit>(*view, "PilotNameEdit"), QString::fromUtf8("Lu\xC3\xA9\xE2\x98\x83"));
    EXPECT_EQ(control<QLineEdit>(*view, "PilotNameEdit").text(), QString::fromUtf8("Lu\xC3\xA9"));
}

}  // namespace
}  // namespace vantrel::testing
