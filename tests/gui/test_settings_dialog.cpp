// The settings dialog against a real settings file in the test's home folder:
// what each showing reads, what OK, Default, Cancel and "..." do, and how the
// dialog copes with odd stored values and a refused write.
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include "GuiTestSupport.h"
#include "gui/pilotview/PltFile.h"
#include "core/settings/SettingsTable.h"
#include "gui/settings/SettingsDlg.h"

namespace vantrel::testing {
namespace {

class SettingsDialogTest : public WindowTest {
protected:
    void TearDown() override
    {
        dialog.hide();
        QFile::setPermissions(ini(), QFile::ReadOwner | QFile::WriteOwner);
        WindowTest::TearDown();
    }

    static QString ini() { return QString::fromStdString(paths::settingsFile()); }
    static void storeFile(const QByteArray& keyLines) { writeBytes(ini(), "[ZADAdeda]\n" + keyLines); }
    static QByteArray fileText() { return fileBytes(ini()); }

    // The check boxes that are checked, by name, in the order of the form.
    std::vector<std::string> checkedBoxes() const
    {
        std::vector<std::string> names;
        for (const QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
            if (box->isChecked())
                names.push_back(box->objectName().toStdString());
        }
        return names;
    }

    TSettingsDlg dialog{prompts};
};

// Every flag the opposite of its default, both choices 0, both paths set.
const QByteArray kNothingDefault =
    "LastDir=/pilots\nLogFile=/logs/scores.txt\nSaveFilename=0\nShowMissionScore=0\n"
    "ShowMissionBonus=0\nShowMissionTotal=0\nShowMissionTime=1\nCheckCheat=0\n"
    "ShowErrorDetailes=1\nShowZeroMissions=1\nIncludeDate=1\nMegaDetails=1\n"
    "NameSource=0\nScoreFormat=0\n";

const std::vector<std::string> kDefaultChecked = {"SaveFileNameCheckBox", "ShowTotalCheckBox", "ShowScoreCheckBox",
                                                  "ShowBonusCheckBox", "CheatCheckBox"};

TEST_F(SettingsDialogTest, EmptyStoreShowsDefaultsAndANewFileGetsTheKeysInOrder)
{
    // A showing over other values first, so that every control has to change.
    storeFile(kNothingDefault);
    dialog.show();
    click(dialog, "CancelBtn");
    QFile::remove(ini());

    dialog.show();
    // The current folder, as the system writes folder names (C:\... on Windows).
    const QString cwd = QDir::toNativeSeparators(QDir(homePath()).canonicalPath());
    EXPECT_EQ(control<QLineEdit>(dialog, "DirEdit").text(), cwd);
    EXPECT_EQ(control<QLineEdit>(dialog, "LogFileEdit").text().toStdString(), paths::defaultLogFile());
    EXPECT_EQ(checkedBoxes(), kDefaultChecked);
    EXPECT_EQ(control<RadioGroup>(dialog, "NameSourceGroup").itemIndex(), 2);
    EXPECT_EQ(control<RadioGroup>(dialog, "ScoreFormatGroup").itemIndex(), 1);
    EXPECT_TRUE(control<QCheckBox>(dialog, "DetaildErrorsCheckBox").isEnabled());
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_EQ(fileText(), "[ZADAdeda]\nLastDir=" + cwd.toUtf8() + "\n");

    click(dialog, "OKBtn");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const QByteArray logFile = QByteArray::fromStdString(paths::defaultLogFile());
    EXPECT_EQ(fileText(), "[ZADAdeda]\nLastDir=" + cwd.toUtf8() + "\nLogFile=" + logFile +
                              "\nSaveFilename=1\nShowMissionScore=1\nShowMissionBonus=1\nShowMissionTotal=1\n"
                              "ShowMissionTime=0\nCheckCheat=1\nShowErrorDetailes=0\nShowZeroMissions=0\n"
                              "IncludeDate=0\nMegaDetails=0\nNameSource=2\nScoreFormat=1\nWatchPilotFolders=0\n");
}

TEST_F(SettingsDialogTest, OddStoredValuesShowByTheirRulesAndOkStoresWhatIsShown)
{
    struct Case {
        QByteArray stored;
        int shown;
        std::string afterOk;
    };
    for (const Case& c : {Case{"5", 2, "2"}, Case{"-3", -1, "-1"}, Case{"-1", -1, "-1"}, Case{"0", 0, "0"}}) {
        SCOPED_TRACE(c.stored.toStdString());
        storeFile("SaveFilename=yes\nShowZeroMissions=\nNameSource=" + c.stored + "\nScoreFormat=" + c.stored + "\n");
        dialog.show();
        EXPECT_FALSE(control<QCheckBox>(dialog, "SaveFileNameCheckBox").isChecked());
        EXPECT_FALSE(control<QCheckBox>(dialog, "ShowZeroCheckBox").isChecked());
        EXPECT_EQ(control<RadioGroup>(dialog, "NameSourceGroup").itemIndex(), c.shown);
        EXPECT_EQ(control<RadioGroup>(dialog, "ScoreFormatGroup").itemIndex(), c.shown);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(control<RadioGroup>(dialog, "ScoreFormatGroup").item(i)->isChecked(), i == c.shown);
        click(dialog, "OKBtn");
        EXPECT_EQ(setting("SaveFilename"), "0");
        EXPECT_EQ(setting("ShowZeroMissions"), "0");
        EXPECT_EQ(setting("NameSource"), c.afterOk);
        EXPECT_EQ(setting("ScoreFormat"), c.afterOk);
    }
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(SettingsDialogTest, DetailedReportFollowsTheCheatBoxOnlyAtItsMomentsAndKeepsItsMark)
{
    storeFile("CheckCheat=0\nShowErrorDetailes=1\n");
    dialog.show();
    EXPECT_FALSE(control<QCheckBox>(dialog, "CheatCheckBox").isChecked());
    EXPECT_FALSE(control<QCheckBox>(dialog, "DetaildErrorsCheckBox").isEnabled());
    EXPECT_TRUE(control<QCheckBox>(dialog, "DetaildErrorsCheckBox").isChecked());

    dialog.activateWindow();
    for (int i = 0; i < 50 && !dialog.isActiveWindow(); ++i)
        QApplication::processEvents();
    ASSERT_TRUE(dialog.isActiveWindow());

    // Toggled without a focus move or a mouse: nothing follows yet.
    control<QCheckBox>(dialog, "CheatCheckBox").setFocus(Qt::TabFocusReason);
    pressKey(control<QCheckBox>(dialog, "CheatCheckBox"), Qt::Key_Space, QStringLiteral(" "));
    ASSERT_TRUE(control<QCheckBox>(dialog, "CheatCheckBox").isChecked());
    EXPECT_FALSE(control<QCheckBox>(dialog, "DetaildErrorsCheckBox").isEnabled());
    // The focus coming back to the box brings it up to date.
    control<QCheckBox>(dialog, "ShowBonusCheckBox").setFocus(Qt::TabFocusReason);
    control<QCheckBox>(dialog, "CheatCheckBox").setFocus(Qt::BacktabFocusReason);
    EXPECT_TRUE(control<QCheckBox>(dialog, "DetaildErrorsCheckBox").isEnabled());

    // A mouse click on the box takes effect at once.
    const QPointF at(8, 8);
    QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&control<QCheckBox>(dialog, "CheatCheckBox"), &press);
    QApplication::sendEvent(&control<QCheckBox>(dialog, "CheatCheckBox"), &release);
    EXPECT_FALSE(control<QCheckBox>(dialog, "CheatCheckBox").isChecked());
    EXPECT_FALSE(control<QCheckBox>(dialog, "DetaildErrorsCheckBox").isEnabled());
    EXPECT_TRUE(control<QCheckBox>(dialog, "DetaildErrorsCheckBox").isChecked());

    click(dialog, "OKBtn");
    EXPECT_EQ(setting("CheckCheat"), "0");
    EXPECT_EQ(setting("ShowErrorDetailes"), "1");
}

TEST_F(SettingsDialogTest, DefaultChangesOnlyTheControlsAndCancelEscapeCloseWriteNothing)
{
    storeFile(kNothingDefault);
    dialog.show();
    const QByteArray before = fileText();
    click(dialog, "Default1");
    EXPECT_EQ(control<QLineEdit>(dialog, "DirEdit").text().toStdString(), paths::fallbackDirectory());
    EXPECT_EQ(control<QLineEdit>(dialog, "LogFileEdit").text().toStdString(), paths::defaultLogFile());
    EXPECT_EQ(checkedBoxes(), kDefaultChecked);
    EXPECT_EQ(control<RadioGroup>(dialog, "NameSourceGroup").itemIndex(), 2);
    EXPECT_EQ(control<RadioGroup>(dialog, "ScoreFormatGroup").itemIndex(), 1);
    EXPECT_TRUE(control<QCheckBox>(dialog, "DetaildErrorsCheckBox").isEnabled());
    EXPECT_EQ(fileText(), before);

    click(dialog, "CancelBtn");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(fileText(), before);

    dialog.show();
    EXPECT_EQ(control<QLineEdit>(dialog, "DirEdit").text(), QStringLiteral("/pilots"));
    EXPECT_EQ(control<QLineEdit>(dialog, "LogFileEdit").text(), QStringLiteral("/logs/scores.txt"));
    EXPECT_EQ(control<RadioGroup>(dialog, "NameSourceGroup").itemIndex(), 0);
    EXPECT_FALSE(control<QCheckBox>(dialog, "CheatCheckBox").isChecked());
    EXPECT_TRUE(control<QCheckBox>(dialog, "MegaDetailsCheckBox").isChecked());

    // Escape, and the title bar's close button.
    click(dialog, "Default1");
    pressKey(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    dialog.show();
    click(dialog, "Default1");
    dialog.close();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(fileText(), before);
}

// Keys go where the user's keys go: to the control with the focus.
void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
{
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    QApplication::sendEvent(target, &release);
}

TEST_F(SettingsDialogTest, EachRadioGroupIsOneTabStopEnteredAtItsChoiceAndTheArrowsMoveWithin)
{
    storeFile("NameSource=1\nScoreFormat=2\n");
    dialog.show();
    dialog.activateWindow();
    for (int i = 0; i < 50 && !dialog.isActiveWindow(); ++i)
        QApplication::processEvents();
    ASSERT_TRUE(dialog.isActiveWindow());

    control<QCheckBox>(dialog, "IncludeDateCheckBox").setFocus(Qt::TabFocusReason);
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<RadioGroup>(dialog, "NameSourceGroup").item(1));
    // Space on the entered item keeps the stored choice.
    key(Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(control<RadioGroup>(dialog, "NameSourceGroup").itemIndex(), 1);
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<RadioGroup>(dialog, "ScoreFormatGroup").item(2));
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &control<QLineEdit>(dialog, "LogFileEdit"));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), control<RadioGroup>(dialog, "ScoreFormatGroup").item(2));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), control<RadioGroup>(dialog, "NameSourceGroup").item(1));

    // The arrows choose within the group; Tab leaves it and comes back to
    // the new choice.
    key(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), control<RadioGroup>(dialog, "NameSourceGroup").item(0));
    EXPECT_EQ(control<RadioGroup>(dialog, "NameSourceGroup").itemIndex(), 0);
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<RadioGroup>(dialog, "ScoreFormatGroup").item(2));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), control<RadioGroup>(dialog, "NameSourceGroup").item(0));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), &control<QCheckBox>(dialog, "IncludeDateCheckBox"));

    click(dialog, "OKBtn");
    EXPECT_EQ(setting("NameSource"), "0");
    EXPECT_EQ(setting("ScoreFormat"), "2");

    // The next showing enters each group at its stored choice; a group
    // without one at its first item.
    storeFile("NameSource=2\nScoreFormat=-1\n");
    dialog.show();
    dialog.activateWindow();
    for (int i = 0; i < 50 && !dialog.isActiveWindow(); ++i)
        QApplication::processEvents();
    control<QCheckBox>(dialog, "IncludeDateCheckBox").setFocus(Qt::TabFocusReason);
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<RadioGroup>(dialog, "NameSourceGroup").item(2));
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<RadioGroup>(dialog, "ScoreFormatGroup").item(0));
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &control<QLineEdit>(dialog, "LogFileEdit"));
    EXPECT_EQ(control<RadioGroup>(dialog, "ScoreFormatGroup").itemIndex(), -1);
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(SettingsDialogTest, LogFileButtonOffersTheFieldAndOnlyOkStoresTheChoice)
{
    storeFile("LogFile=/logs/scores.txt\n");
    dialog.show();

    prompts.files.push_back(std::nullopt);
    click(dialog, "LogFileButton");
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(prompts.saveRequests[0].title, QStringLiteral("Log file"));
    EXPECT_EQ(prompts.saveRequests[0].filter, QStringLiteral("Textfile|*.txt|All files|*.*"));
    EXPECT_EQ(prompts.saveRequests[0].fileName, QStringLiteral("/logs/scores.txt"));
    EXPECT_EQ(control<QLineEdit>(dialog, "LogFileEdit").text(), QStringLiteral("/logs/scores.txt"));

    prompts.files.push_back(QStringLiteral("/elsewhere/new log.txt"));
    click(dialog, "LogFileButton");
    EXPECT_EQ(control<QLineEdit>(dialog, "LogFileEdit").text(), QStringLiteral("/elsewhere/new log.txt"));
    EXPECT_EQ(setting("LogFile"), "/logs/scores.txt");

    click(dialog, "OKBtn");
    EXPECT_EQ(setting("LogFile"), "/elsewhere/new log.txt");
}

TEST_F(SettingsDialogTest, ChoiceThatIsNoNumberStopsTheFillingWhereItIs)
{
    storeFile("ScoreFormat=0\n");
    dialog.show();
    click(dialog, "CancelBtn");

    storeFile("CheckCheat=0\nMegaDetails=1\nNameSource=x\nScoreFormat=2\n");
    dialog.show();
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Error: 'x' is not a valid integer value."});
    EXPECT_TRUE(dialog.isVisible());
    // Reached before the failure.
    EXPECT_TRUE(control<QCheckBox>(dialog, "MegaDetailsCheckBox").isChecked());
    EXPECT_FALSE(control<QCheckBox>(dialog, "CheatCheckBox").isChecked());
    // Not reached: the previous showing's state.
    EXPECT_EQ(control<RadioGroup>(dialog, "NameSourceGroup").itemIndex(), 2);
    EXPECT_EQ(control<RadioGroup>(dialog, "ScoreFormatGroup").itemIndex(), 0);
    EXPECT_TRUE(control<QCheckBox>(dialog, "DetaildErrorsCheckBox").isEnabled());

    // OK repairs the key.
    click(dialog, "OKBtn");
    EXPECT_EQ(setting("NameSource"), "2");
    EXPECT_EQ(setting("ScoreFormat"), "0");
}

TEST_F(SettingsDialogTest, RefusedWriteDuringOkIsReportedOnceAndTheDialogStillCloses)
{
    dialog.show();
    const QByteArray before = fileText();
    ASSERT_TRUE(QFile::setPermissions(ini(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    control<QCheckBox>(dialog, "MegaDetailsCheckBox").setChecked(true);

    click(dialog, "OKBtn");
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Error: Unable to write to " + paths::settingsFile() + "."});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(fileText(), before);
}

TEST_F(SettingsDialogTest, ChangeReachesThePilotViewsNextReportWithoutRestart)
{
    TPltFileView view(prompts, [this] {
        dialog.show();
        control<QCheckBox>(dialog, "MegaDetailsCheckBox").setChecked(true);
        click(dialog, "OKBtn");
    });
    const QString fullDetails = QStringLiteral("--- All other known details: ---");
    ASSERT_EQ(view.ReadMission(QStringLiteral(VANTREL_SAMPLE_PILOT)), 0);
    EXPECT_FALSE(control<QTextEdit>(view, "Memo1").toPlainText().contains(fullDetails));

    click(view, "Button4");  // "Settings"
    click(view, "GetAllButton");
    EXPECT_TRUE(control<QTextEdit>(view, "Memo1").toPlainText().contains(fullDetails));
    EXPECT_TRUE(prompts.log.empty());
}

// The watch option came after the first fourteen keys: a file written before
// it reads as off, and OK adds it after them, leaving theirs where they are.
TEST_F(SettingsDialogTest, FileWithoutTheWatchKeyReadsOffAndOkAppendsItAfterTheOthers)
{
    storeFile(kNothingDefault);
    dialog.show();
    EXPECT_FALSE(control<QCheckBox>(dialog, "WatchFoldersCheckBox").isChecked());
    click(dialog, "OKBtn");
    EXPECT_EQ(fileText(), "[ZADAdeda]\n" + kNothingDefault + "WatchPilotFolders=0\n");

    dialog.show();
    control<QCheckBox>(dialog, "WatchFoldersCheckBox").setChecked(true);
    click(dialog, "OKBtn");
    EXPECT_EQ(fileText(), "[ZADAdeda]\n" + kNothingDefault + "WatchPilotFolders=1\n");
    dialog.show();
    EXPECT_TRUE(control<QCheckBox>(dialog, "WatchFoldersCheckBox").isChecked());
    click(dialog, "CancelBtn");

    // Stored as anything but "1", the option is off, and OK repairs it.
    storeFile("WatchPilotFolders=yes\n");
    dialog.show();
    EXPECT_FALSE(control<QCheckBox>(dialog, "WatchFoldersCheckBox").isChecked());
    click(dialog, "OKBtn");
    EXPECT_EQ(setting("WatchPilotFolders"), "0");
    EXPECT_TRUE(prompts.log.empty());
}

// Tab goes through the controls in the form's order: each setting's control
// at its place, between the dialog's own buttons, a radio group's items
// together.
TEST_F(SettingsDialogTest, TheFocusChainFollowsTheFormsOrder)
{
    const char* const names[] = {"OKBtn",
                                 "CancelBtn",
                                 "DirEdit",
                                 "SaveFileNameCheckBox",
                                 "ShowZeroCheckBox",
                                 "ShowTotalCheckBox",
                                 "ShowScoreCheckBox",
                                 "ShowTimeCheckBox",
                                 "ShowBonusCheckBox",
                                 "CheatCheckBox",
                                 "DetaildErrorsCheckBox",
                                 "MegaDetailsCheckBox",
                                 "Default1",
                                 "IncludeDateCheckBox",
                                 "NameSourceGroup",
                                 "ScoreFormatGroup",
                                 "LogFileEdit",
                                 "LogFileButton",
                                 "WatchFoldersCheckBox"};
    std::vector<QWidget*> expected;
    for (const char* name : names) {
        auto* control = dialog.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(control, nullptr) << name;
        const QList<QRadioButton*> items = control->findChildren<QRadioButton*>();
        if (items.isEmpty())
            expected.push_back(control);
        else
            expected.insert(expected.end(), items.begin(), items.end());
    }
    std::vector<QWidget*> chain;
    QWidget* next = expected.front();
    do {
        if (std::find(expected.begin(), expected.end(), next) != expected.end())
            chain.push_back(next);
        next = next->nextInFocusChain();
    } while (next != expected.front() && chain.size() <= expected.size());
    EXPECT_EQ(chain, expected);
}

// Every control starts as, and the "Default" button puts it back to, the
// default of its key in the settings table; OK then stores those defaults.
TEST_F(SettingsDialogTest, DesignStateAndDefaultButtonFollowTheSettingsTable)
{
    for (const SettingDefault& entry : kSettingDefaults) {
        SCOPED_TRACE(std::string(entry.key));
        if (entry.form != SettingForm::Path) {
            EXPECT_EQ(dialog.storedValue(entry.key), entry.value());
        }
    }

    storeFile(kNothingDefault + "WatchPilotFolders=1\n");
    dialog.show();
    for (const SettingDefault& entry : kSettingDefaults)
        ASSERT_NE(dialog.storedValue(entry.key), entry.value()) << entry.key;

    click(dialog, "Default1");
    EXPECT_TRUE(control<QCheckBox>(dialog, "DetaildErrorsCheckBox").isEnabled());
    click(dialog, "OKBtn");
    for (const SettingDefault& entry : kSettingDefaults)
        EXPECT_EQ(setting(entry.key), entry.value()) << entry.key;
    EXPECT_TRUE(prompts.log.empty());
}

}  // namespace
}  // namespace vantrel::testing
