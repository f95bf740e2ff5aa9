// "Restore a backup": the backups listed newest first with their dates, the
// changes from the file now shown before the question, a restore that puts
// the backup's bytes back and keeps what it replaced, and every refusal told
// as an error with nothing written.
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>

#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotDiff.h"
#include "core/pilot/OwnSaves.h"
#include "core/pilot/PilotBackup.h"
#include "gui/history/RestoreDialog.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

class RestoreDialogTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        data_.emplace(kDataHomeVariable, corePath(homePath(QStringLiteral(".local/share"))).c_str());
        folder_ = paths::backupDirectory();
        fs::create_directories(folder_);
        pilot_ = pilotWithMissions(5);
        file_ = corePath(pilot_);
        tag_ = backupOwnerTag(file_);
        olderBackup_ = text::joinPath(folder_, "Tester." + tag_ + ".20261101-120000.plt");
        newerBackup_ = text::joinPath(folder_, "Tester." + tag_ + ".20261120-183000.plt");
        writeFile(olderBackup_, fileBytes(pilotWithMissions(1, QStringLiteral("one.plt"))).toStdString());
        writeFile(newerBackup_, fileBytes(pilotWithMissions(3, QStringLiteral("three.plt"))).toStdString());
        settle();
    }

    // The file as the game left it a while ago: a restore may replace it.
    void settle(std::chrono::minutes ago = std::chrono::hours(1)) const
    {
        fs::last_write_time(fs::path(file_), fs::file_time_type::clock::now() - ago);
    }

    // The dialog for the test's pilot, shown as the review window shows it.
    TRestoreDialog* openDialog()
    {
        auto* dialog = new TRestoreDialog(prompts, pilot_, folder_, &owner_);
        QObject::connect(dialog, &QDialog::accepted, [this] { ++accepted_; });
        dialog->open();
        return dialog;
    }

    static QListWidget* list(TRestoreDialog* dialog)
    {
        return dialog->findChild<QListWidget*>(QStringLiteral("BackupList"));
    }
    static QPushButton* restoreButton(TRestoreDialog* dialog)
    {
        return dialog->findChild<QPushButton*>(QStringLiteral("RestoreButton"));
    }

    static std::string changes(const std::string& from, const std::string& to)
    {
        PilotRecord a;
        PilotRecord b;
        EXPECT_TRUE(ReadMission(a, from).ok());
        EXPECT_TRUE(ReadMission(b, to).ok());
        std::string text;
        for (const std::string& line : diffPilots(a, b))
            text += (text.empty() ? "" : "\n") + line;
        return text;
    }

    std::set<std::string> backups() const { return entriesOf(folder_); }

    std::optional<ScopedEnv> data_;
    QWidget owner_;
    std::string folder_;
    QString pilot_;
    std::string file_;
    std::string tag_;
    std::string olderBackup_;
    std::string newerBackup_;
    int accepted_ = 0;
};

TEST_F(RestoreDialogTest, ListsTheBackupsNewestFirstAndShowsWhatTheChosenOneChanges)
{
    TRestoreDialog* dialog = openDialog();
    QListWidget* backupList = list(dialog);
    ASSERT_NE(backupList, nullptr);
    ASSERT_EQ(backupList->count(), 2);
    EXPECT_EQ(backupList->item(0)->text().toStdString(),
              "2026-11-20 18:30:00  Tester." + tag_ + ".20261120-183000.plt");
    EXPECT_EQ(backupList->item(1)->text().toStdString(),
              "2026-11-01 12:00:00  Tester." + tag_ + ".20261101-120000.plt");
    auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("ChangesText"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->toPlainText().toStdString(), changes(file_, newerBackup_));
    EXPECT_NE(text->toPlainText().indexOf(QStringLiteral("Campaign missions completed: 5 -> 3")), -1);
    backupList->setCurrentRow(1);
    EXPECT_EQ(text->toPlainText().toStdString(), changes(file_, olderBackup_));
    EXPECT_EQ(prompts.log, std::vector<std::string>{});
    dialog->close();
}

TEST_F(RestoreDialogTest, AConfirmedRestorePutsTheBackupsBytesBackAndKeepsWhatItReplaced)
{
    const std::string before = readFile(file_);
    const std::string expectedChanges = changes(file_, olderBackup_);
    const std::set<std::string> kept = backups();
    QPointer<TRestoreDialog> dialog = openDialog();
    list(dialog)->setCurrentRow(1);
    prompts.answers.push_back(true);
    restoreButton(dialog)->click();

    EXPECT_EQ(readFile(file_), readFile(olderBackup_));
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_EQ(prompts.log[0], "Confirmation, default No: Restore " + file_ +
                                  " from the backup of 2026-11-01 12:00:00 (" + olderBackup_ +
                                  ")?\nThe file as it is now is backed up first.");
    // The question shows the changes it makes.
    ASSERT_EQ(prompts.details.size(), 1u);
    EXPECT_EQ(prompts.details[0],
              prompts.log[0].substr(std::string("Confirmation, default No: ").size()) + " | " + expectedChanges);
    EXPECT_NE(prompts.details[0].find("Campaign missions completed: 5 -> 1"), std::string::npos);
    EXPECT_EQ(prompts.titles, std::vector<std::string>{"Restore a backup"});
    EXPECT_EQ(prompts.log[1].rfind("Information: Restored " + file_ + " from " + olderBackup_ + ".", 0), 0u)
        << prompts.log[1];
    EXPECT_EQ(accepted_, 1);
    // One of the program's own saves: the watcher passes over it.
    EXPECT_TRUE(OwnSaves().holds(file_));

    // One more backup: the file as it was.
    std::set<std::string> now = backups();
    ASSERT_EQ(now.size(), kept.size() + 1);
    for (const std::string& name : kept)
        now.erase(name);
    EXPECT_EQ(readFile(folder_ + "/" + *now.begin()), before);
    EXPECT_NE(prompts.log[1].find(*now.begin()), std::string::npos);
}

TEST_F(RestoreDialogTest, NoAtTheQuestionChangesNothing)
{
    const std::string before = readFile(file_);
    const std::set<std::string> kept = backups();
    TRestoreDialog* dialog = openDialog();
    prompts.answers.push_back(false);
    restoreButton(dialog)->click();
    EXPECT_EQ(prompts.log.size(), 1u);
    EXPECT_EQ(readFile(file_), before);
    EXPECT_EQ(backups(), kept);
    EXPECT_EQ(accepted_, 0);
    EXPECT_TRUE(dialog->isVisible());
    dialog->close();
}

TEST_F(RestoreDialogTest, RefusedRestoresLeaveTheFileAsItIsAndSayWhy)
{
    const std::string before = readFile(file_);
    const std::set<std::string> kept = backups();
    const auto refused = [&](const std::string& why) {
        EXPECT_EQ(readFile(file_), before) << why;
        EXPECT_EQ(backups(), kept) << why;
        EXPECT_EQ(accepted_, 0) << why;
        ASSERT_EQ(prompts.log.size(), 2u) << why;
        EXPECT_EQ(prompts.log[1].rfind("Error: Cannot restore " + file_ + ": ", 0), 0u) << prompts.log[1];
        EXPECT_NE(prompts.log[1].find(why), std::string::npos) << prompts.log[1];
        EXPECT_EQ(prompts.log[1].find("Restored"), std::string::npos);
        prompts.log.clear();
    };

    // The game may be writing the file: it changed just now.
    fs::last_write_time(fs::path(file_), fs::file_time_type::clock::now());
    TRestoreDialog* dialog = openDialog();
    prompts.answers.push_back(true);
    restoreButton(dialog)->click();
    refused("it was changed less than two seconds ago; the game may be saving it");
    dialog->close();

    // A backup that is no pilot file.
    settle();
    writeFile(newerBackup_, "not a pilot");
    const std::set<std::string> withDamaged = backups();
    dialog = openDialog();
    EXPECT_EQ(list(dialog)->item(0)->text().endsWith(QStringLiteral("(not loaded)")), true);
    prompts.answers.push_back(true);
    restoreButton(dialog)->click();
    EXPECT_EQ(backups(), withDamaged);
    refused("is not a pilot file");
    dialog->close();
}

TEST_F(RestoreDialogTest, BytesOfAPilotsSizeThatAreNoPilotAreRefusedNamingTheBackupAndWhy)
{
    std::string bytes = readFile(newerBackup_);
    std::fill(bytes.begin(), bytes.end(), '\xff');
    writeFile(newerBackup_, bytes);
    const std::string before = readFile(file_);
    const std::set<std::string> kept = backups();
    TRestoreDialog* dialog = openDialog();
    prompts.answers.push_back(true);
    restoreButton(dialog)->click();
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_EQ(prompts.log[1], "Error: Cannot restore " + file_ + ": " + newerBackup_ +
                                  " is not a pilot file (its pilot name is not text ending in a zero byte). Nothing "
                                  "was written.");
    EXPECT_EQ(readFile(file_), before);
    EXPECT_EQ(backups(), kept);
    EXPECT_EQ(accepted_, 0);
    dialog->close();
}

TEST_F(RestoreDialogTest, AnotherPilotsBackupsAreNotListedAndOlderOnesComeApartUnchosen)
{
    // A pilot of the same file name in another folder, backed up too.
    fs::create_directories(QFile::encodeName(homePath(QStringLiteral("other"))).toStdString());
    const QString other = pilotWithMissions(9, QStringLiteral("other/Tester.plt"));
    const std::string otherFile = QFile::encodeName(other).toStdString();
    std::string otherBackup;
    ASSERT_TRUE(makeBackup(otherFile, readFile(otherFile), 0644, folder_, std::time(nullptr), &otherBackup));
    // One made before backups were kept per file: whose it is cannot be told.
    const std::string oldStyle = folder_ + "/Tester-20250101-000000.plt";
    writeFile(oldStyle, readFile(otherFile));

    TRestoreDialog* dialog = openDialog();
    QListWidget* backupList = list(dialog);
    ASSERT_EQ(backupList->count(), 4);
    EXPECT_EQ(backupList->currentRow(), 0);
    EXPECT_EQ(backupList->item(2)->text().toStdString(), std::string(kOlderBackupsHeading));
    EXPECT_EQ(backupList->item(3)->text(), QStringLiteral("2025-01-01 00:00:00  Tester-20250101-000000.plt"));
    for (int row = 0; row < backupList->count(); ++row)
        EXPECT_EQ(backupList->item(row)->text().indexOf(QFileInfo(QString::fromStdString(otherBackup)).fileName()), -1);
    dialog->close();

    // With none of its own, nothing is chosen for the user.
    fs::remove(olderBackup_);
    fs::remove(newerBackup_);
    dialog = openDialog();
    backupList = list(dialog);
    ASSERT_EQ(backupList->count(), 2);
    EXPECT_EQ(backupList->currentRow(), -1);
    EXPECT_FALSE(restoreButton(dialog)->isEnabled());
    backupList->setCurrentRow(0);  // the heading
    EXPECT_FALSE(restoreButton(dialog)->isEnabled());
    dialog->close();
}

TEST_F(RestoreDialogTest, AFileSavedAfterTheChangesWereShownIsNotReplacedUnseen)
{
    TRestoreDialog* dialog = openDialog();
    // The game saves the pilot while the dialog is open.
    const std::string saved = fileBytes(pilotWithMissions(7, QStringLiteral("seven.plt"))).toStdString();
    writeFile(file_, saved);
    // Saved a while ago too, at another time than the one listed even where
    // a file's time is set to the second only (the C runtime's on Windows).
    settle(std::chrono::minutes(50));
    const std::set<std::string> kept = backups();
    prompts.answers.push_back(true);
    restoreButton(dialog)->click();
    EXPECT_EQ(readFile(file_), saved);
    EXPECT_EQ(backups(), kept);
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_EQ(prompts.log[1], "Warning: Cannot restore " + file_ +
                                  ": it changed since its backups were listed. Nothing was written; look at the "
                                  "changes again.");
    // The changes shown are now those from the new save.
    EXPECT_EQ(dialog->findChild<QPlainTextEdit*>(QStringLiteral("ChangesText"))->toPlainText().toStdString(),
              changes(file_, newerBackup_));
    EXPECT_EQ(accepted_, 0);
    dialog->close();
}

TEST_F(RestoreDialogTest, APilotWithoutBackupsSaysSoAndOffersNoRestore)
{
    fs::remove(olderBackup_);
    fs::remove(newerBackup_);
    TRestoreDialog* dialog = openDialog();
    EXPECT_EQ(list(dialog)->count(), 0);
    EXPECT_FALSE(restoreButton(dialog)->isEnabled());
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("BackupsLabel"))->text().toStdString(),
              "No backups of " + file_ + " in " + folder_ + ".");
    dialog->close();
}

}  // namespace
}  // namespace vantrel::testing
