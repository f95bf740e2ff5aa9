// Which window a message box or file dialog stands over, also at moments when
// no window is active; and the main window's keyboard and size rules.
#include <QDialog>
#include <QFrame>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "GuiTestSupport.h"
#include "core/settings/SettingsKeys.h"
#include "gui/mainwindow/MainLogEdit.h"
#include "gui/pilotview/PltFile.h"
#include "gui/support/QtPrompts.h"
#include "gui/settings/SettingsDlg.h"

namespace vantrel::testing {
namespace {

class PromptOwnerTest : public WindowTest {
protected:
    QString configuredLog() const { return homePath(QStringLiteral("main.log")); }
};

TEST_F(PromptOwnerTest, TheCloseFlowAsksOverTheMainWindowAlsoAfterTheSaveDialogWasCancelled)
{
    ProgramWindows windows = start();
    windows.Form1->show();
    windows.Form1->appendLogLine(QStringLiteral("entry"));
    prompts.owners.clear();

    // Save? Yes; the save dialog is cancelled; "Cancel save. Are you sure?" Yes.
    prompts.answers = {true, true};
    prompts.files = {std::nullopt};
    EXPECT_TRUE(windows.Form1->close());
    ASSERT_EQ(prompts.log.size(), 3u);
    EXPECT_EQ(prompts.log[2], "Warning: Cancel save. Are you sure?");
    EXPECT_EQ(prompts.owners, std::vector<QWidget*>(3, windows.Form1.get()));
}

TEST_F(PromptOwnerTest, AFailedLogSaveIsToldOverTheMainWindow)
{
    setSetting(keys::LogFile, homePath(QStringLiteral("no/such/folder.log")).toStdString());
    ProgramWindows windows = start();
    windows.Form1->appendLogLine(QStringLiteral("entry"));
    prompts.owners.clear();
    click(*windows.Form1, "SaveButton");
    ASSERT_EQ(prompts.log.size(), 1u);
    EXPECT_EQ(prompts.owners, std::vector<QWidget*>{windows.Form1.get()});
}

TEST_F(PromptOwnerTest, ThePilotViewsQuestionsAndFailuresStandOverThePilotView)
{
    TPltFileView view(prompts, [] {});
    const QString path = writePilot(QStringLiteral("Owner.plt"), {{100, 0, 60}});
    ASSERT_EQ(view.ReadMission(path), 0);
    QFile::remove(path);
    prompts.owners.clear();

    control<QLineEdit>(view, "PilotNameEdit").setText(QStringLiteral("Changed"));
    prompts.answers = {true};
    click(view, "Button2");
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_EQ(prompts.owners, (std::vector<QWidget*>{&view, &view}));
}

TEST_F(PromptOwnerTest, TheSettingsDialogsFileDialogBelongsToIt)
{
    TSettingsDlg dialog(prompts);
    dialog.show();
    prompts.files.push_back(std::nullopt);
    click(dialog, "LogFileButton");
    EXPECT_EQ(prompts.owners, std::vector<QWidget*>{&dialog});
    dialog.hide();
}

// Runs `ask` while a timer looks at the box it shows: the box's parent goes to
// `parentSeen`, then the box is closed.
void watchNextBox(QWidget** parentSeen)
{
    QTimer::singleShot(0, [parentSeen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        *parentSeen = box->parentWidget();
        box->reject();
    });
}

TEST(QtPromptsOwnerTest, ABoxStandsOverItsOwnerOrOverTheOwnersModalDialog)
{
    QWidget owner;
    owner.show();
    QtPrompts prompts;

    // Nothing is active, as right after a file dialog closed.
    owner.clearFocus();
    QWidget* parentSeen = nullptr;
    watchNextBox(&parentSeen);
    EXPECT_FALSE(prompts.askYesNo(&owner, Prompts::Kind::Warning, QStringLiteral("Sure?"), Prompts::Default::No));
    EXPECT_EQ(parentSeen, &owner);

    // A child control names its window.
    QLineEdit field(&owner);
    parentSeen = nullptr;
    watchNextBox(&parentSeen);
    prompts.tell(&field, Prompts::Kind::Error, QStringLiteral("Failed."));
    EXPECT_EQ(parentSeen, &owner);

    // A modal dialog of the owner is on top: the box goes over that one, so
    // it is not hidden behind it.
    QDialog dialog(&owner);
    dialog.setModal(true);
    dialog.show();
    parentSeen = nullptr;
    watchNextBox(&parentSeen);
    prompts.tell(&owner, Prompts::Kind::Information, QStringLiteral("Done."));
    EXPECT_EQ(parentSeen, &dialog);
    dialog.hide();
}

class MainWindowKeysTest : public WindowTest {};

TEST_F(MainWindowKeysTest, EnterAndReturnPressTheFocusedButton)
{
    ProgramWindows windows = start();
    windows.Form1->show();
    windows.Form1->appendLogLine(QStringLiteral("entry"));
    for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        control<QPushButton>(*windows.Form1, "ClearButton").setFocus();
        prompts.answers = {false};
        prompts.log.clear();
        pressKey(control<QPushButton>(*windows.Form1, "ClearButton"), key);
        EXPECT_EQ(prompts.log, std::vector<std::string>{"Confirmation: Clear text window?"}) << key;
    }
    // Enter in the log itself still breaks the line.
    control<MainLogEdit>(*windows.Form1, "Memo1").setFocus();
    prompts.log.clear();
    const qsizetype before = control<MainLogEdit>(*windows.Form1, "Memo1").toPlainText().size();
    pressKey(control<MainLogEdit>(*windows.Form1, "Memo1"), Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_EQ(control<MainLogEdit>(*windows.Form1, "Memo1").toPlainText().size(), before + 1);
}

TEST_F(MainWindowKeysTest, TheSmallestWindowStillShowsEveryButton)
{
    ProgramWindows windows = start();
    windows.Form1->show();
    windows.Form1->resize(1, 1);
    QApplication::processEvents();
    const QRect panel = control<QFrame>(*windows.Form1, "Panel1").geometry();
    for (QPushButton* button : control<QFrame>(*windows.Form1, "Panel1").findChildren<QPushButton*>()) {
        const QRect inWindow(button->mapTo(windows.Form1.get(), QPoint(0, 0)), button->size());
        EXPECT_TRUE(windows.Form1->rect().contains(inWindow)) << button->objectName().toStdString();
        EXPECT_TRUE(panel.contains(inWindow)) << button->objectName().toStdString();
    }
    EXPECT_GT(control<MainLogEdit>(*windows.Form1, "Memo1").width(), 0);
}

}  // namespace
}  // namespace vantrel::testing
