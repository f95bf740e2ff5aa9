// Saving pilot details from the pilot view: the question, what reaches the
// file, the backup before the first save, and failures told as failures.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include "TestSupport.h"
#include "GuiTestSupport.h"
#include "gui/PltFile.h"

namespace vantrel::testing {
namespace {

class PilotSaveDialogTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ::setenv("XDG_DATA_HOME", QFile::encodeName(homePath(QStringLiteral("data"))).constData(), 1);
        view = std::make_unique<TPltFileView>(prompts, nullptr);
        view->showModal = modal.show();
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
    view->PilotNameEdit->setText(QStringLiteral("Changed"));
    prompts.answers = {false};
    view->Button2->click();
    EXPECT_EQ(prompts.log, (std::vector<std::string>{"Information: Ready to update " + path.toStdString() +
                                                     ". Is it ok to proceed?"}));
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(backupFiles().isEmpty());
}

TEST_F(PilotSaveDialogTest, YesWritesTheControlsAndBacksTheFileUpOnce)
{
    const QByteArray before = fileBytes(path);
    view->PilotNameEdit->setText(QStringLiteral("Wedge"));
    view->RankBox->setCurrentIndex(6);
    view->RatingBox->setCurrentIndex(-1);  // no selection: the file keeps its rating
    view->ActiveMissionBox->setCurrentIndex(5);
    prompts.answers = {true, true};
    view->Button2->click();
    view->Button2->click();
    ASSERT_EQ(prompts.log.size(), 4u);
    // The save that made the backup says where it is; the next one made none.
    const QStringList made = backupFiles();
    ASSERT_EQ(made.size(), 1);
    const QString backup = QDir(homePath(QStringLiteral("data/vantrel/backups"))).filePath(made.front());
    EXPECT_EQ(prompts.log[1], "Information: Update complete.\nA copy of the file as it was is kept in " +
                                  backup.toStdString() + ".");
    EXPECT_EQ(prompts.log[3], "Information: Update complete.");

    PilotImage after;
    after.bytes() = fileBytes(path).toStdString();
    EXPECT_EQ(after.bytes().substr(0, 13), std::string("Wedge") + std::string(8, '\0'));
    EXPECT_EQ(after.intAt(layout::Rank.offset), 6);
    EXPECT_EQ(after.intAt(layout::Rating.offset), 5);
    EXPECT_EQ(after.intAt(layout::missionRecordOffset(layout::CampaignMissionRecords, 4) + layout::record::kStatus), 1);

    const QStringList backups = backupFiles();
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(backups.front().startsWith(QStringLiteral("Wedge Antilles-")));
    EXPECT_EQ(fileBytes(homePath(QStringLiteral("data/vantrel/backups/")) + backups.front()), before);
}

TEST_F(PilotSaveDialogTest, ASaveThatChangesNothingMakesNoBackupAndSaysNoMoreThanUpdateComplete)
{
    const QByteArray before = fileBytes(path);
    prompts.answers = {true};
    view->Button2->click();
    EXPECT_EQ(prompts.log, (std::vector<std::string>{"Information: Ready to update " + path.toStdString() +
                                                         ". Is it ok to proceed?",
                                                     "Information: Update complete."}));
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(backupFiles().isEmpty());
}

TEST_F(PilotSaveDialogTest, APastedNameWithALineBreakOrTabIsRefused)
{
    view->PilotNameEdit->setText(QStringLiteral("Wes"));
    for (const QString& pasted : {QStringLiteral("Two\nLines"), QStringLiteral("Tab\tx"), QStringLiteral("Del\x7f")}) {
        QApplication::clipboard()->setText(pasted);
        view->PilotNameEdit->end(false);
        view->PilotNameEdit->paste();
        EXPECT_EQ(view->PilotNameEdit->text(), QStringLiteral("Wes")) << pasted.toStdString();
    }
}

TEST_F(PilotSaveDialogTest, AReadOnlyPilotIsRefusedWithItsCauseBelowTheFixedText)
{
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    const QByteArray before = fileBytes(path);
    view->PilotNameEdit->setText(QStringLiteral("Changed"));
    prompts.answers = {true};
    view->Button2->click();
    ASSERT_EQ(prompts.log.size(), 2u);
    const std::string text = "Cannot open " + path.toStdString() + " for writing. Nothing was written.";
    EXPECT_EQ(prompts.log[1], "Error: " + text);
    EXPECT_EQ(prompts.details, std::vector<std::string>{text + " | the file is read-only"});
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(backupFiles().isEmpty());
}

TEST_F(PilotSaveDialogTest, AFailedSaveIsAnErrorNotUpdateComplete)
{
    FailingFileAccess files;
    files.replaceFailure = "No space left on device";
    view->fileAccess = &files;
    const QByteArray before = fileBytes(path);
    view->PilotNameEdit->setText(QStringLiteral("Changed"));
    prompts.answers = {true};
    view->Button2->click();
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_EQ(prompts.log[1], "Error: Cannot update " + path.toStdString() +
                                  ": No space left on device. Nothing was written.");
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(PilotSaveDialogTest, AFileReplacedSinceTheLoadIsLeftAlone)
{
    writeBytes(path, QByteArray(100, 'x'));
    prompts.answers = {true};
    view->Button2->click();
    EXPECT_EQ(prompts.log[1], "Error: Cannot update " + path.toStdString() +
                                  ": its length is 100 bytes, not 152.076. Nothing was written.");
    EXPECT_EQ(fileBytes(path), QByteArray(100, 'x'));
}

TEST_F(PilotSaveDialogTest, ABackupThatCannotBeMadeBlocksTheSave)
{
    QDir(homePath()).mkpath(QStringLiteral("data/vantrel"));
    writeBytes(homePath(QStringLiteral("data/vantrel/backups")), "not a folder");
    const QByteArray before = fileBytes(path);
    view->PilotNameEdit->setText(QStringLiteral("Other"));
    prompts.answers = {true};
    view->Button2->click();
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_EQ(prompts.log[1].rfind("Error: Cannot back up ", 0), 0u) << prompts.log[1];
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(PilotSaveDialogTest, TheNameFieldTakesTwelveStorableCharacters)
{
    view->PilotNameEdit->clear();
    view->PilotNameEdit->setFocus();
    typeText(*view->PilotNameEdit, QStringLiteral("ABCDEFGHIJKLMN"));
    EXPECT_EQ(view->PilotNameEdit->text(), QStringLiteral("ABCDEFGHIJKL"));
    view->PilotNameEdit->clear();
    typeText(*view->PilotNameEdit, QString::fromUtf8("Lu\xC3\xA9\xE2\x98\x83"));
    EXPECT_EQ(view->PilotNameEdit->text(), QString::fromUtf8("Lu\xC3\xA9"));
}

}  // namespace
}  // namespace vantrel::testing
