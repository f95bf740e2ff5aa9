// The main window: start-up, the main log and its modified flag, the open
// flow, saving, clearing and the close step with each of its answer paths;
// the log files it will not replace unasked, readers that never block, and
// the causes its failure boxes tell.
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDevice>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <future>
#include <thread>

#include "GuiTestSupport.h"
#include "gui/about/About.h"
#include "gui/about/Splash.h"
#include "gui/pilotview/PltFile.h"
#include "gui/settings/SettingsDlg.h"
#include "core/files/AtomicFile.h"
#include "core/files/FileLock.h"
#include "core/settings/SettingsKeys.h"
#include "gui/mainwindow/MainLogEdit.h"
#include "core/mainlog/LogReader.h"
#include "core/mainlog/LogWriter.h"
#include "core/mainlog/LogFileAccess.h"
#include "core/text/Windows1252.h"

namespace vantrel::testing {
namespace {

const std::string kChangesQuestion = "Information: Changes made to the log. Do you want to save changes?";
const std::string kCancelQuestion = "Warning: Cancel save. Are you sure?";

class MainWindowTest : public WindowTest {
protected:
    QString logText(const ProgramWindows& windows) const
    {
        return control<MainLogEdit>(*windows.Form1, "Memo1").toPlainText();
    }
    QString configuredLog() const { return homePath(QStringLiteral("main.log")); }
    // Starts with a log file configured, and that file holding `text`.
    ProgramWindows startWithLog(const QByteArray& text)
    {
        configureLog(text);
        return start();
    }
    void configureLog(const QByteArray& text)
    {
        setSetting(keys::LogFile, configuredLog().toStdString());
        writeBytes(configuredLog(), text);
    }
    // Opens the pilot through "Open pilotfile" and lets the dialog close.
    void openPilot(TForm1& form, const QString& path)
    {
        prompts.files.push_back(path);
        click(form, "GetScoreButton");
    }
};

TEST_F(MainWindowTest, FirstStartWritesLastDirStartsEmptyAndClosesWithoutAsking)
{
    ProgramWindows windows = start();
    EXPECT_EQ(setting(keys::LastDir), paths::currentDirectory());
    EXPECT_TRUE(logText(windows).isEmpty());
    EXPECT_FALSE(windows.Form1->isLogModified());
    EXPECT_EQ(windows.Form1->windowTitle(),
              QStringLiteral("Vantrel (") + QString::fromLatin1(vantrel::kBuildDate) + QStringLiteral(")"));
    EXPECT_EQ(control<QPushButton>(*windows.Form1, "SaveButton").toolTip(),
              QStringLiteral("Save the main log to: ") + QString::fromStdString(paths::defaultLogFile()));

    windows.Form1->show();
    EXPECT_TRUE(windows.Form1->close());
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(paths::defaultLogFile())));
}

TEST_F(MainWindowTest, OpenDialogOffersTheGamesPilotFoldersThatExist)
{
#ifdef _WIN32
    // Windows tells where Steam is, and so its library with the game.
    const QString steam = homePath(QStringLiteral("Steam"));
    const QString game = steam + QStringLiteral("/steamapps/common/Star Wars X-Wing Alliance");
    const ScopedUserRegistryValue steamPath("Software\\Valve\\Steam", "SteamPath", corePath(steam));
    ASSERT_TRUE(steamPath.set());
#else
    // A Wine install of the game in the home folder.
    const QString game = homePath(QStringLiteral(".wine/drive_c/Program Files (x86)/LucasArts/XWing Alliance"));
#endif
    ASSERT_TRUE(QDir().mkpath(game));
    ProgramWindows windows = start();
    prompts.files.push_back(std::nullopt);
    click(*windows.Form1, "GetScoreButton");
    ASSERT_EQ(prompts.openRequests.size(), 1u);
    EXPECT_EQ(prompts.openRequests[0].sidebar, QStringList{shownPath(QFileInfo(game).canonicalFilePath())});

    ASSERT_TRUE(QDir(game).removeRecursively());
    prompts.files.push_back(std::nullopt);
    click(*windows.Form1, "GetScoreButton");
    EXPECT_TRUE(prompts.openRequests.at(1).sidebar.isEmpty());
}

TEST_F(MainWindowTest, StartUpKeepsARememberedLastDir)
{
    setSetting(keys::LastDir, "/somewhere/Joe.plt");
    ProgramWindows windows = start();
    EXPECT_EQ(setting(keys::LastDir), "/somewhere/Joe.plt");
}

TEST_F(MainWindowTest, StartUpBuildsTheWindowsAndShowingTheMainWindowClosesTheSplash)
{
    ProgramWindows windows = start();
    ASSERT_TRUE(windows.SplashForm && windows.SettingsDlg && windows.AboutBox && windows.PltFileView);
    EXPECT_TRUE(windows.SplashForm->isVisible());
    EXPECT_FALSE(windows.Form1->isVisible());
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Vantrel"));
    EXPECT_EQ(windows.SettingsDlg->windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(windows.AboutBox->windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(windows.PltFileView->windowTitle(), QStringLiteral("Dialog"));

    windows.Form1->show();
    EXPECT_FALSE(windows.SplashForm->isVisible());
}

TEST_F(MainWindowTest, ExistingLogIsShownWithLineBreaksMendedAndClosingUnchangedAsksNothing)
{
    ProgramWindows windows = startWithLog("first\r\nsecond\rthird\nfourth");
    EXPECT_EQ(logText(windows), QStringLiteral("first\nsecond\nthird\nfourth"));
    EXPECT_FALSE(windows.Form1->isLogModified());
    EXPECT_TRUE(windows.Form1->close());
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(MainWindowTest, UnreadableLogIsReportedAndTheLogStartsEmpty)
{
    setSetting(keys::LogFile, homePath(QStringLiteral("folder.log")).toStdString());
    QDir(homePath()).mkdir(QStringLiteral("folder.log"));
    ProgramWindows windows = start();
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Error: Cannot open file " +
                                                    homePath(QStringLiteral("folder.log")).toStdString() + "."});
    EXPECT_TRUE(logText(windows).isEmpty());
    EXPECT_FALSE(windows.Form1->isLogModified());
}

#ifndef _WIN32  // FIFOs do not exist on Windows.
TEST_F(MainWindowTest, SettingsFileThatIsAFifoIsToldAsUnreadableAndStartUpGoesOnWithDefaults)
{
    // Start-up must not wait for a writer on the FIFO: should it, the
    // deadline ends the test program instead of leaving it hanging.
    const std::string settingsFile = paths::settingsFile();
    QFile::remove(QString::fromStdString(settingsFile));
    ASSERT_TRUE(makeFifo(settingsFile));
    std::optional<BlockingDeadline> deadline(30);
    ProgramWindows windows = start();
    deadline.reset();
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Error: Cannot read the settings file " + settingsFile + "."});
    EXPECT_EQ(control<QPushButton>(*windows.Form1, "SaveButton").toolTip(),
              QStringLiteral("Save the main log to: ") + QString::fromStdString(paths::defaultLogFile()));
    EXPECT_TRUE(isFifo(settingsFile));
}
#endif

TEST_F(MainWindowTest, TypingIntoTheLogSetsTheModifiedFlag)
{
    ProgramWindows windows = start();
    windows.Form1->show();
    typeText(control<MainLogEdit>(*windows.Form1, "Memo1"), QStringLiteral("x"));
    EXPECT_TRUE(windows.Form1->isLogModified());
}

TEST_F(MainWindowTest, TypingAndUndoingItKeepsTheModifiedFlag)
{
    ProgramWindows windows = startWithLog("kept\r\n");
    windows.Form1->show();
    typeText(control<MainLogEdit>(*windows.Form1, "Memo1"), QStringLiteral("x"));
    control<MainLogEdit>(*windows.Form1, "Memo1").undo();
    EXPECT_EQ(logText(windows), QStringLiteral("kept\n"));
    EXPECT_TRUE(windows.Form1->isLogModified());

    prompts.answers = {false, true};
    EXPECT_TRUE(windows.Form1->close());
    EXPECT_EQ(prompts.log, (std::vector<std::string>{kChangesQuestion, kCancelQuestion}));
}

TEST_F(MainWindowTest, SavingALoadedLogWritesBackEveryCharacterNoBreakSpacesIncluded)
{
    const QByteArray onDisk(
        "A\xA0"
        "B\tC\r\n\xA0\r\n");
    ProgramWindows windows = startWithLog(onDisk);
    click(*windows.Form1, "SaveButton");
    EXPECT_EQ(fileBytes(configuredLog()), onDisk);

    windows.Form1->appendLogLine(QStringLiteral("D\u00A0E"));
    click(*windows.Form1, "Button2");
    EXPECT_EQ(fileBytes(configuredLog()), onDisk + QByteArray("D\xA0"
                                                              "E\r\n"));
}

TEST_F(MainWindowTest, OpeningAPilotAppendsItsEntryOnceAndTheCloseStepThenAsks)
{
    ProgramWindows windows = startWithLog("earlier entry\r\n");
    openPilot(*windows.Form1, samplePilot());

    ASSERT_EQ(modal.shown, std::vector<std::string>{"PltFileView"});
    const QString entry = control<QLineEdit>(*windows.PltFileView, "ExportEdit").text();
    EXPECT_FALSE(entry.isEmpty());
    EXPECT_EQ(logText(windows), QStringLiteral("earlier entry\n") + entry + QLatin1Char('\n'));
    EXPECT_TRUE(windows.Form1->isLogModified());
    EXPECT_EQ(windows.PltFileView->windowTitle(), samplePilot());

    prompts.log.clear();
    prompts.answers = {false, true};
    EXPECT_TRUE(windows.Form1->close());
    EXPECT_EQ(prompts.log, (std::vector<std::string>{kChangesQuestion, kCancelQuestion}));
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("earlier entry\r\n"));
}

TEST_F(MainWindowTest, EveryWayOfClosingThePilotViewAppendsTheEntryAsItStands)
{
    const std::vector<std::pair<std::string, std::function<void(QDialog&)>>> closers = {
        {"title bar", [](QDialog& dialog) { dialog.close(); }},
        {"Escape", [](QDialog& dialog) { pressKey(dialog, Qt::Key_Escape); }},
        {"Export and close", [](QDialog& dialog) { click(dialog, "Button1"); }},
    };
    for (const auto& [how, closer] : closers) {
        SCOPED_TRACE(how);
        ProgramWindows windows = start();
        modal.whileShown = [](QDialog& dialog) {
            control<QLineEdit>(dialog, "ExportEdit").setText(QStringLiteral("edited entry"));
        };
        modal.closeWith = closer;
        openPilot(*windows.Form1, samplePilot());
        EXPECT_FALSE(windows.PltFileView->isVisible());
        EXPECT_EQ(logText(windows), QStringLiteral("edited entry\n"));
    }
}

TEST_F(MainWindowTest, AnEmptyEntryStillAppendsALineAfterTextWithoutAFinalLineBreak)
{
    ProgramWindows windows = startWithLog("typed by hand");
    modal.whileShown = [](QDialog& dialog) { control<QLineEdit>(dialog, "ExportEdit").clear(); };
    openPilot(*windows.Form1, samplePilot());
    EXPECT_EQ(logText(windows), QStringLiteral("typed by hand\n"));
    openPilot(*windows.Form1, samplePilot());
    EXPECT_EQ(logText(windows), QStringLiteral("typed by hand\n\n"));
}

TEST_F(MainWindowTest, AppendingALineFollowsWhatEndsTheText)
{
    ProgramWindows windows = start();
    const QString separator(QChar::LineSeparator);
    const std::vector<std::pair<QString, QString>> cases = {
        {QString(), QStringLiteral("entry\n")},
        {QStringLiteral("a"), QStringLiteral("a\nentry")},
        {QStringLiteral("a\n"), QStringLiteral("a\nentry\n")},
        {QStringLiteral("a\nb"), QStringLiteral("a\nb\nentry")},
        {QStringLiteral("a\n\n"), QStringLiteral("a\n\nentry\n")},
        {QStringLiteral("a") + separator, QStringLiteral("a\nentry\n")},
        {QStringLiteral("a") + separator + QStringLiteral("b"), QStringLiteral("a\nb\nentry")},
        {QStringLiteral("a\n") + separator, QStringLiteral("a\n\nentry\n")},
    };
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(before.toStdString());
        control<MainLogEdit>(*windows.Form1, "Memo1").setPlainText(before);
        control<MainLogEdit>(*windows.Form1, "Memo1").document()->setModified(false);
        windows.Form1->appendLogLine(QStringLiteral("entry"));
        EXPECT_EQ(control<MainLogEdit>(*windows.Form1, "Memo1").logText(), after);
        EXPECT_TRUE(windows.Form1->isLogModified());
    }
}

TEST_F(MainWindowTest, ShiftEnterBreaksTheLineAsEnterDoes)
{
    ProgramWindows windows = startWithLog("");
    windows.Form1->show();
    MainLogEdit& log = control<MainLogEdit>(*windows.Form1, "Memo1");
    const auto shiftEnter = [&log] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("\r"));
        QApplication::sendEvent(&log, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("\r"));
        QApplication::sendEvent(&log, &release);
    };
    typeText(log, QStringLiteral("typed"));
    shiftEnter();
    typeText(log, QStringLiteral("more"));
    shiftEnter();
    windows.Form1->appendLogLine(QStringLiteral("entry one"));
    windows.Form1->appendLogLine(QStringLiteral("entry two"));
    click(*windows.Form1, "SaveButton");
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("typed\r\nmore\r\nentry one\r\nentry two\r\n"));

    // A line separator that came in another way, pasted say, breaks the line too.
    log.moveCursor(QTextCursor::End);
    log.insertPlainText(QStringLiteral("pasted") + QChar::LineSeparator + QStringLiteral("text") +
                        QChar::LineSeparator);
    windows.Form1->appendLogLine(QStringLiteral("entry three"));
    click(*windows.Form1, "SaveButton");
    EXPECT_EQ(fileBytes(configuredLog()),
              QByteArray("typed\r\nmore\r\nentry one\r\nentry two\r\npasted\r\ntext\r\nentry three\r\n"));
}

// Logs of many lines, as the file holds them and as saving writes them back.
struct LongLog {
    std::string name;
    QByteArray onDisk;
    QByteArray saved;
};

// `lines` lines with code-page characters, no-break spaces and tabs, each
// ended by `lineEnd(i)`.
LongLog longLog(std::string name, int lines, const std::function<QByteArray(int)>& lineEnd)
{
    LongLog log{std::move(name), {}, {}};
    for (int i = 0; i < lines; ++i) {
        const QByteArray line = QByteArray::number(i) +
                                " Kestrel\xA0"
                                "\x80\x9F\xFF\t- Score: " +
                                QByteArray::number(59400 + i);
        const QByteArray end = lineEnd(i);
        log.onDisk += line + end;
        // Each CR LF, lone CR and lone LF is saved as CR LF.
        log.saved += line + QByteArray("\r\n").repeated(end.count('\r') + end.count('\n') - end.count("\r\n"));
    }
    return log;
}

// Lengthens the first line so that a CR falls on the last byte of the
// first read of the load.
LongLog withCrEndingThePiece(LongLog log)
{
    const qsizetype last = static_cast<qsizetype>(MainLogEdit::kLoadPieceBytes) - 1;
    const QByteArray pad(last - log.onDisk.lastIndexOf('\r', last), 'x');
    log.onDisk.prepend(pad);
    log.saved.prepend(pad);
    return log;
}

std::vector<LongLog> longLogs()
{
    const auto crLf = [](int) { return QByteArray("\r\n"); };
    std::vector<LongLog> logs = {
        longLog("CR LF, a final one", 9000, crLf),
        longLog("CR LF, none at the end", 9000, [](int i) { return QByteArray(i == 8999 ? "" : "\r\n"); }),
        longLog("whole paragraphs", 4 * MainLogEdit::kLinesPerParagraph, crLf),
        longLog("lone CR, lone LF and CR LF", 9000,
                [](int i) {
                    return QByteArray(i % 3 == 0 ? "\r" : i % 3 == 1 ? "\n" : "\r\n");
                }),
        longLog("empty lines", 9000, [](int i) { return QByteArray(i % 2 ? "\r\n" : "\r\n\r\n\r\n"); }),
        withCrEndingThePiece(longLog("CR LF split between pieces", 9000, crLf)),
        withCrEndingThePiece(longLog("lone CR ending a piece", 9000, [](int) { return QByteArray("\r"); })),
    };
    const auto piece = static_cast<qsizetype>(MainLogEdit::kLoadPieceBytes);
    for (const LongLog& log : logs) {
        const bool crEndsThePiece = log.onDisk.size() > piece && log.onDisk.at(piece - 1) == '\r';
        EXPECT_EQ(crEndsThePiece, log.name.find("piece") != std::string::npos) << log.name;
    }
    return logs;
}

TEST_F(MainWindowTest, ALongLogIsSavedByteForByteWithEntriesAppendedAndUndone)
{
    for (const LongLog& log : longLogs()) {
        SCOPED_TRACE(log.name);
        prompts.log.clear();
        ProgramWindows windows = startWithLog(log.onDisk);
        TForm1& form = *windows.Form1;
        form.show();
        EXPECT_FALSE(form.isLogModified());
        EXPECT_FALSE(control<MainLogEdit>(form, "Memo1").document()->isUndoAvailable());

        // Saved while the rest of the log is still to come into the window.
        EXPECT_EQ(control<MainLogEdit>(form, "Memo1").isLoading(),
                  log.onDisk.size() > static_cast<qsizetype>(MainLogEdit::kLoadPieceBytes));
        click(form, "SaveButton");
        EXPECT_EQ(fileBytes(configuredLog()), log.saved);
        EXPECT_FALSE(control<MainLogEdit>(form, "Memo1").isLoading());
        EXPECT_LT(control<MainLogEdit>(form, "Memo1").blockCount(), log.saved.count("\r\n") / 32 + 4);
        EXPECT_EQ(control<MainLogEdit>(form, "Memo1").toPlainText().toLatin1().count('\n'), log.saved.count("\r\n"));
        EXPECT_FALSE(form.isLogModified());
        EXPECT_FALSE(control<MainLogEdit>(form, "Memo1").document()->isUndoAvailable());

        // One entry at the end by the append rule, undone in one step.
        control<MainLogEdit>(form, "Memo1").moveCursor(QTextCursor::End);
        form.appendLogLine(QStringLiteral("entry \u20AC"));
        const QByteArray withEntry =
            log.saved.endsWith("\r\n") ? log.saved + "entry \x80\r\n" : log.saved + "\r\nentry \x80";
        click(form, "SaveButton");
        EXPECT_EQ(fileBytes(configuredLog()), withEntry);
        control<MainLogEdit>(form, "Memo1").undo();
        control<MainLogEdit>(form, "Memo1").undo();
        EXPECT_TRUE(form.isLogModified());
        click(form, "SaveButton");
        EXPECT_EQ(fileBytes(configuredLog()), log.saved);

        // Closing unchanged asks nothing.
        EXPECT_TRUE(form.close());
        EXPECT_TRUE(prompts.log.empty());
    }
}

// A log longer than one piece comes into the window between events; every
// change made before its last piece is in is made to the whole log.
class LogStillComingInTest : public MainWindowTest {
protected:
    static constexpr int kLines = 20000;
    void SetUp() override
    {
        MainWindowTest::SetUp();
        log = longLog("long", kLines, [](int) { return QByteArray("\r\n"); });
        restart();
    }
    void restart()
    {
        windows.reset();
        configureLog(log.onDisk);
        windows = std::make_unique<ProgramWindows>(prompts, QStringList{QStringLiteral("vantrel")}, modal.show());
        windows->Form1->show();
        ASSERT_TRUE(memo().isLoading());
    }
    MainLogEdit& memo() { return control<MainLogEdit>(*windows->Form1, "Memo1"); }
    QString whole() const
    {
        return QString::fromStdString(cp1252::toUtf8(log.saved.toStdString()))
            .replace(QLatin1String("\r\n"), QLatin1String("\n"));
    }
    // Lets the events run until the last piece is in, the flag checked at
    // every turn; returns how many turns it took.
    int untilLoaded()
    {
        int turns = 0;
        while (memo().isLoading() && turns < 10000) {
            QCoreApplication::processEvents();
            EXPECT_FALSE(windows->Form1->isLogModified()) << "turn " << turns;
            ++turns;
        }
        return turns;
    }
    LongLog log;
    std::unique_ptr<ProgramWindows> windows;
};

TEST_F(LogStillComingInTest, ThePiecesComeInBetweenEventsAndChangeNothing)
{
    EXPECT_GT(untilLoaded(), 1);
    EXPECT_FALSE(memo().isLoading());
    // The scroll bar reaches the last paragraph: it stands where a fresh look
    // at the whole text puts it.
    const int maximum = memo().verticalScrollBar()->maximum();
    EXPECT_GT(maximum, kLines / MainLogEdit::kLinesPerParagraph);
    memo().resize(memo().width(), memo().height() + 1);
    memo().resize(memo().width(), memo().height() - 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(memo().verticalScrollBar()->maximum(), maximum);
    EXPECT_EQ(memo().toPlainText(), whole().replace(QChar(0xA0), QLatin1Char(' ')));
    EXPECT_EQ(memo().logText(), whole());
    EXPECT_FALSE(memo().document()->isUndoAvailable());
    // Nothing more comes in later.
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(memo().logText(), whole());
    EXPECT_TRUE(windows->Form1->close());
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(LogStillComingInTest, AnEntryGoesAtTheRealEndAndIsUndoneInOneStep)
{
    windows->Form1->appendLogLine(QStringLiteral("entry"));
    EXPECT_FALSE(memo().isLoading());
    EXPECT_EQ(memo().logText(), whole() + QStringLiteral("entry\n"));
    EXPECT_TRUE(windows->Form1->isLogModified());
    untilLoaded();
    EXPECT_EQ(memo().logText(), whole() + QStringLiteral("entry\n"));
    memo().undo();
    EXPECT_EQ(memo().logText(), whole());
    EXPECT_FALSE(memo().document()->isUndoAvailable());
}

TEST_F(LogStillComingInTest, TypingAndPastingChangeTheWholeLog)
{
    QTest::keyClick(&memo(), Qt::Key_X);
    EXPECT_FALSE(memo().isLoading());
    EXPECT_EQ(memo().logText(), QLatin1Char('x') + whole());
    EXPECT_TRUE(windows->Form1->isLogModified());
    memo().undo();
    EXPECT_EQ(memo().logText(), whole());

    // A paste through the window's own path, as the context menu and the
    // middle button take it.
    log.onDisk.append("last line\r\n");
    restart();
    QMimeData pasted;
    pasted.setText(QStringLiteral("pasted\n"));
    struct Paster : MainLogEdit {
        using MainLogEdit::insertFromMimeData;
    };
    memo().moveCursor(QTextCursor::Start);
    static_cast<Paster&>(memo()).insertFromMimeData(&pasted);
    EXPECT_FALSE(memo().isLoading());
    EXPECT_TRUE(memo().logText().startsWith(QStringLiteral("pasted\n0 Kestrel")));
    EXPECT_TRUE(memo().logText().endsWith(QStringLiteral("last line\n")));
}

TEST_F(LogStillComingInTest, ClearingEmptiesItForGood)
{
    prompts.answers.push_back(true);
    click(*windows->Form1, "ClearButton");
    EXPECT_FALSE(memo().isLoading());
    untilLoaded();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(memo().logText().isEmpty());
    EXPECT_TRUE(windows->Form1->isLogModified());
}

TEST_F(MainWindowTest, RejectedPilotIsReportedAppendsNothingAndLeavesLastDir)
{
    setSetting(keys::LastDir, "/pilots/before.plt");
    const QString shortFile = homePath(QStringLiteral("short.plt"));
    writeBytes(shortFile, QByteArray(1000, 'x'));
    ProgramWindows windows = start();
    openPilot(*windows.Form1, shortFile);

    EXPECT_EQ(prompts.log, (std::vector<std::string>{
                               "open: ",
                               "Error: The file have wrong size. 1000 The plt file must be 152.076 bytes!",
                               "Error: 1 Errors while loading file! This may not be a XWA pilotfile.",
                           }));
    EXPECT_TRUE(modal.shown.empty());
    EXPECT_TRUE(logText(windows).isEmpty());
    EXPECT_FALSE(windows.Form1->isLogModified());
    EXPECT_EQ(setting(keys::LastDir), "/pilots/before.plt");
}

TEST_F(MainWindowTest, ASettingThatIsNoNumberStopsTheOpenWithAnErrorBox)
{
    setSetting(keys::LastDir, "/pilots/before.plt");
    setSetting(keys::NameSource, "two");
    ProgramWindows windows = start();
    openPilot(*windows.Form1, samplePilot());
    EXPECT_EQ(prompts.log.back(), "Error: 'two' is not a valid integer value.");
    EXPECT_TRUE(modal.shown.empty());
    EXPECT_TRUE(logText(windows).isEmpty());
    EXPECT_EQ(setting(keys::LastDir), "/pilots/before.plt");
}

TEST_F(MainWindowTest, LastDirHoldsTheOpenedFileNameOnlyWhenSaveFilenameIsOne)
{
    const QString pilot = pilotWithMissions(3, QStringLiteral("Joe.plt"));
    {
        ProgramWindows windows = start();
        openPilot(*windows.Form1, pilot);
        EXPECT_EQ(setting(keys::LastDir), pilot.toStdString());
    }
    for (const std::string_view off : {"0", "yes", ""}) {
        SCOPED_TRACE(off);
        setSetting(keys::SaveFilename, off);
        setSetting(keys::LastDir, "/unchanged");
        ProgramWindows windows = start();
        openPilot(*windows.Form1, pilot);
        EXPECT_EQ(setting(keys::LastDir), "/unchanged");
    }
}

TEST_F(MainWindowTest, AMissingFileNameLoadsNothingQuietlyButIsRemembered)
{
    const QString missing = homePath(QStringLiteral("nobody.plt"));
    ProgramWindows windows = start();
    openPilot(*windows.Form1, missing);
    EXPECT_EQ(prompts.log, std::vector<std::string>{"open: "});
    EXPECT_TRUE(modal.shown.empty());
    EXPECT_TRUE(logText(windows).isEmpty());
    EXPECT_EQ(setting(keys::LastDir), missing.toStdString());
}

TEST_F(MainWindowTest, TheOpenDialogStartsAtLastDirAndKeepsTheLastChosenName)
{
    ProgramWindows windows = start();
    const QString pilot = pilotWithMissions(2);
    openPilot(*windows.Form1, pilot);
    prompts.files.push_back(std::nullopt);
    click(*windows.Form1, "GetScoreButton");

    ASSERT_EQ(prompts.openRequests.size(), 2u);
    EXPECT_EQ(prompts.openRequests[0].directory.toStdString(), paths::currentDirectory());
    EXPECT_EQ(prompts.openRequests[0].filter, QStringLiteral("XWA Pilotfiles|*.plt|All files|*.*"));
    EXPECT_EQ(prompts.openRequests[1].directory, pilot);
    EXPECT_EQ(prompts.openRequests[1].fileName, pilot);
    EXPECT_EQ(modal.shown.size(), 1u);
}

TEST_F(MainWindowTest, WithoutLastDirTheOpenDialogStartsInTheFallbackDirectory)
{
    ProgramWindows windows = start();
    // Another program removed the key while this one ran.
    writeBytes(QString::fromStdString(paths::settingsFile()), "[ZADAdeda]\r\n");
    prompts.files.push_back(std::nullopt);
    click(*windows.Form1, "GetScoreButton");
    ASSERT_EQ(prompts.openRequests.size(), 1u);
    EXPECT_EQ(prompts.openRequests[0].directory.toStdString(), paths::fallbackDirectory());
}

TEST_F(MainWindowTest, CommandLinePrefillsTheOpenDialogBeforeTheMainWindowShowsFurtherArgumentsIgnored)
{
    const QString pilot = pilotWithMissions(4);
    bool mainWindowVisibleDuringOpen = true;
    modal.whileShown = [&](QDialog& dialog) { mainWindowVisibleDuringOpen = dialog.parentWidget()->isVisible(); };
    prompts.files.push_back(pilot);
    ProgramWindows windows = start({QStringLiteral("vantrel"), pilot, QStringLiteral("second.plt")});

    ASSERT_EQ(prompts.openRequests.size(), 1u);
    EXPECT_EQ(prompts.openRequests[0].fileName, pilot);
    EXPECT_TRUE(prompts.openRequests[0].directory.isEmpty());
    EXPECT_EQ(modal.shown, std::vector<std::string>{"PltFileView"});
    EXPECT_FALSE(mainWindowVisibleDuringOpen);
    EXPECT_EQ(logText(windows), control<QLineEdit>(*windows.PltFileView, "ExportEdit").text() + QLatin1Char('\n'));
}

TEST_F(MainWindowTest, CommandLineCancellingTheOpenDialogOpensNothing)
{
    prompts.files.push_back(std::nullopt);
    ProgramWindows windows = start({QStringLiteral("vantrel"), samplePilot()});
    EXPECT_EQ(prompts.log, std::vector<std::string>{"open: " + samplePilot().toStdString()});
    EXPECT_TRUE(modal.shown.empty());
    EXPECT_FALSE(windows.Form1->isLogModified());
    EXPECT_EQ(setting(keys::LastDir), paths::currentDirectory());
}

TEST_F(MainWindowTest, DroppingAPilotFileOpensItOtherFilesAreRefused)
{
    ProgramWindows windows = start();
    windows.Form1->show();
    const QString pilot = pilotWithMissions(2);

    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(homePath(QStringLiteral("notes.txt")))});
    QDragEnterEvent refused(QPoint(300, 200), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(windows.Form1.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(pilot)});
    QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(windows.Form1.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(300, 200), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(windows.Form1.get(), &drop);
    QCoreApplication::processEvents();

    EXPECT_TRUE(prompts.openRequests.empty());
    EXPECT_EQ(modal.shown, std::vector<std::string>{"PltFileView"});
    EXPECT_EQ(logText(windows), control<QLineEdit>(*windows.PltFileView, "ExportEdit").text() + QLatin1Char('\n'));
    EXPECT_EQ(setting(keys::LastDir), pilot.toStdString());
}

TEST_F(MainWindowTest, ClearTextEmptiesOnYesKeepsOnNoAndSetsTheFlagEitherWay)
{
    ProgramWindows windows = startWithLog("kept\r\n");
    prompts.answers = {false};
    click(*windows.Form1, "ClearButton");
    EXPECT_EQ(logText(windows), QStringLiteral("kept\n"));
    EXPECT_TRUE(windows.Form1->isLogModified());
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Confirmation: Clear text window?"});

    click(*windows.Form1, "SaveButton");
    prompts.answers = {true};
    click(*windows.Form1, "ClearButton");
    EXPECT_TRUE(logText(windows).isEmpty());
    EXPECT_TRUE(windows.Form1->isLogModified());
}

TEST_F(MainWindowTest, SaveLogWritesTheConfiguredFileWithCrLfAndClearsTheFlag)
{
    ProgramWindows windows = startWithLog("");
    windows.Form1->appendLogLine(QStringLiteral("one"));
    windows.Form1->appendLogLine(QStringLiteral("two"));
    click(*windows.Form1, "SaveButton");
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("one\r\ntwo\r\n"));
    EXPECT_FALSE(windows.Form1->isLogModified());
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(MainWindowTest, SaveLogAsWritesTheChosenFileLeavesLogFileAndSaveLogStillUsesIt)
{
    ProgramWindows windows = startWithLog("old\r\n");
    windows.Form1->appendLogLine(QStringLiteral("new"));
    const QString other = homePath(QStringLiteral("other.log"));
    prompts.files = {other};
    click(*windows.Form1, "SaveAsButton");

    EXPECT_EQ(prompts.log, std::vector<std::string>{"save: " + configuredLog().toStdString()});
    EXPECT_TRUE(prompts.saveRequests[0].filter.isEmpty());
    EXPECT_EQ(fileBytes(other), QByteArray("old\r\nnew\r\n"));
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("old\r\n"));
    EXPECT_FALSE(windows.Form1->isLogModified());
    EXPECT_EQ(setting(keys::LogFile), configuredLog().toStdString());

    windows.Form1->appendLogLine(QStringLiteral("later"));
    click(*windows.Form1, "SaveButton");
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("old\r\nnew\r\nlater\r\n"));
}

TEST_F(MainWindowTest, SaveLogAsCancelledChangesNothing)
{
    ProgramWindows windows = startWithLog("old\r\n");
    windows.Form1->appendLogLine(QStringLiteral("new"));
    prompts.files = {std::nullopt};
    click(*windows.Form1, "SaveAsButton");
    EXPECT_TRUE(windows.Form1->isLogModified());
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("old\r\n"));
}

TEST_F(MainWindowTest, TheSaveHintKeepsTheStartUpLogNameWhileSavingFollowsTheSetting)
{
    ProgramWindows windows = startWithLog("");
    const QString changed = homePath(QStringLiteral("changed.log"));
    setSetting(keys::LogFile, changed.toStdString());
    EXPECT_EQ(control<QPushButton>(*windows.Form1, "SaveButton").toolTip(),
              QStringLiteral("Save the main log to: ") + configuredLog());

    windows.Form1->appendLogLine(QStringLiteral("entry"));
    click(*windows.Form1, "SaveButton");
    EXPECT_EQ(fileBytes(changed), QByteArray("entry\r\n"));
}

TEST_F(MainWindowTest, SaveLogAndExitWritesAndClosesWithoutAsking)
{
    ProgramWindows windows = startWithLog("");
    windows.Form1->show();
    windows.Form1->appendLogLine(QStringLiteral("entry"));
    click(*windows.Form1, "Button2");
    EXPECT_FALSE(windows.Form1->isVisible());
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("entry\r\n"));
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(MainWindowTest, AFailedSaveKeepsTheProgramOpenTheFlagSetAndTheFileAsItWas)
{
    ProgramWindows windows = startWithLog("on disk\r\n");
    QFile::setPermissions(configuredLog(), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    windows.Form1->show();
    windows.Form1->appendLogLine(QStringLiteral("unsaved"));
    const std::string cannotCreate = "Error: Cannot create file " + corePath(configuredLog()) + ".";

    click(*windows.Form1, "Button2");
    EXPECT_EQ(prompts.log, std::vector<std::string>{cannotCreate});
    EXPECT_TRUE(windows.Form1->isVisible());
    EXPECT_TRUE(windows.Form1->isLogModified());

    click(*windows.Form1, "SaveButton");
    EXPECT_TRUE(windows.Form1->isLogModified());

    // The close step's own save fails the same way: the window stays.
    prompts.log.clear();
    prompts.answers = {true};
    prompts.files = {configuredLog()};
    EXPECT_FALSE(windows.Form1->close());
    EXPECT_EQ(prompts.log,
              (std::vector<std::string>{kChangesQuestion, "save: " + configuredLog().toStdString(), cannotCreate}));
    EXPECT_TRUE(windows.Form1->isVisible());
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("on disk\r\n"));
    EXPECT_EQ(logText(windows), QStringLiteral("on disk\nunsaved\n"));
}

TEST_F(MainWindowTest, ASaveIntoAMissingFolderIsReported)
{
    setSetting(keys::LogFile, homePath(QStringLiteral("no/such/folder.log")).toStdString());
    ProgramWindows windows = start();
    windows.Form1->appendLogLine(QStringLiteral("entry"));
    click(*windows.Form1, "SaveButton");
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Error: Cannot create file " +
                                                    corePath(homePath(QStringLiteral("no/such/folder.log"))) + "."});
    EXPECT_TRUE(windows.Form1->isLogModified());
}

struct ClosePath {
    const char* name;
    std::deque<bool> answers;
    std::deque<std::optional<QString>> files;  // "" stands for the chosen file
    std::vector<std::string> asked;            // "save" stands for the save dialog
    bool written;
};

void PrintTo(const ClosePath& path, std::ostream* out)
{
    *out << path.name;
}

class CloseStepTest : public MainWindowTest, public ::testing::WithParamInterface<ClosePath> {};

TEST_P(CloseStepTest, EveryAnswerPathEndsTheProgram)
{
    const ClosePath& path = GetParam();
    ProgramWindows windows = startWithLog("");
    windows.Form1->show();
    windows.Form1->appendLogLine(QStringLiteral("entry"));
    const QString chosen = homePath(QStringLiteral("chosen.log"));
    prompts.answers = path.answers;
    for (const std::optional<QString>& file : path.files)
        prompts.files.push_back(file ? std::optional<QString>(chosen) : std::nullopt);

    EXPECT_TRUE(windows.Form1->close());
    EXPECT_FALSE(windows.Form1->isVisible());
    std::vector<std::string> asked;
    for (const std::string& step : path.asked)
        asked.push_back(step == "save" ? "save: " + configuredLog().toStdString() : step);
    EXPECT_EQ(prompts.log, asked);
    EXPECT_EQ(QFile::exists(chosen), path.written);
    if (path.written) {
        EXPECT_EQ(fileBytes(chosen), QByteArray("entry\r\n"));
    }
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray());
    EXPECT_TRUE(prompts.answers.empty());
    EXPECT_TRUE(prompts.files.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CloseStepTest,
    ::testing::Values(
        ClosePath{"YesThenPick", {true}, {QString()}, {kChangesQuestion, "save"}, true},
        ClosePath{"NoThenYes", {false, true}, {}, {kChangesQuestion, kCancelQuestion}, false},
        ClosePath{"NoThenNoThenPick", {false, false}, {QString()}, {kChangesQuestion, kCancelQuestion, "save"}, true},
        ClosePath{
            "NoThenNoThenCancel", {false, false}, {std::nullopt}, {kChangesQuestion, kCancelQuestion, "save"}, false},
        ClosePath{"YesCancelYes", {true, true}, {std::nullopt}, {kChangesQuestion, "save", kCancelQuestion}, false},
        ClosePath{"YesCancelNoCancel",
                  {true, false},
                  {std::nullopt, std::nullopt},
                  {kChangesQuestion, "save", kCancelQuestion, "save"},
                  false},
        ClosePath{"YesCancelNoPick",
                  {true, false},
                  {std::nullopt, QString()},
                  {kChangesQuestion, "save", kCancelQuestion, "save"},
                  true}),
    [](const ::testing::TestParamInfo<ClosePath>& info) { return std::string(info.param.name); });

// ---- Log integrity: no log file is replaced unasked that the window does not hold ----

std::string notLoadedQuestion(const QString& path)
{
    return "Warning, default No: The file " + shownPath(path).toStdString() +
           " could not be loaded when the program started. Saving replaces all of it with the text of this "
           "window. Replace it?";
}

std::string changedQuestion(const QString& path)
{
    return "Warning, default No: The file " + shownPath(path).toStdString() +
           " was changed by another program since it was loaded or saved here. Saving replaces it with the text "
           "of this window. Replace it?";
}

// A log too large for the window; sparse, so it takes no room on disk.
void makeOversizedLog(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_TRUE(file.resize(qint64(mainlog::kCapacityBytes) + 1));
}

TEST_F(MainWindowTest, LogIntegrityALogThatFailedToLoadIsReplacedOnlyWhenTheUserSaysSo)
{
    setSetting(keys::LogFile, configuredLog().toStdString());
    makeOversizedLog(configuredLog());
    const qint64 oversized = QFileInfo(configuredLog()).size();
    ProgramWindows windows = start();
    ASSERT_EQ(prompts.log, std::vector<std::string>{"Error: Text exceeds memo capacity."});
    TForm1& form = *windows.Form1;
    form.show();
    form.appendLogLine(QStringLiteral("new entry"));
    const std::string question = notLoadedQuestion(configuredLog());

    // Every way of writing the configured file asks first; No keeps it whole
    // and keeps the window's text unsaved.
    prompts.log.clear();
    prompts.answers = {false};
    click(form, "SaveButton");
    prompts.answers = {false};
    click(form, "Button2");
    prompts.answers = {true, false};
    prompts.files = {configuredLog()};
    EXPECT_FALSE(form.close());
    // The same file by another spelling, and by a link.
    const QString link = homePath(QStringLiteral("link.log"));
#ifdef _WIN32
    // QFile::link makes a shortcut there, a file of its own; a hard link is
    // the same file.
    std::error_code linked;
    std::filesystem::create_hard_link(fileio::toPath(corePath(configuredLog())), fileio::toPath(corePath(link)),
                                      linked);
    ASSERT_FALSE(linked) << linked.message();
#else
    ASSERT_TRUE(QFile::link(configuredLog(), link));
#endif
    const QString otherSpelling = homePath(QStringLiteral("./main.log"));
    prompts.answers = {false, false};
    prompts.files = {otherSpelling, link};
    click(form, "SaveAsButton");
    click(form, "SaveAsButton");
    const std::string save = "save: " + configuredLog().toStdString();
    EXPECT_EQ(prompts.log, (std::vector<std::string>{question, question, kChangesQuestion, save, question, save,
                                                     notLoadedQuestion(otherSpelling), save, notLoadedQuestion(link)}));
    EXPECT_EQ(QFileInfo(configuredLog()).size(), oversized);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.isLogModified());

    // Another file is free.
    prompts.log.clear();
    prompts.files = {homePath(QStringLiteral("other.log"))};
    click(form, "SaveAsButton");
    EXPECT_EQ(prompts.log, std::vector<std::string>{save});
    EXPECT_EQ(fileBytes(homePath(QStringLiteral("other.log"))), QByteArray("new entry\r\n"));

    // Yes replaces it; from then on it is a file this window wrote.
    prompts.log.clear();
    prompts.answers = {true};
    form.appendLogLine(QStringLiteral("second"));
    click(form, "SaveButton");
    EXPECT_EQ(prompts.log, std::vector<std::string>{question});
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("new entry\r\nsecond\r\n"));
    EXPECT_FALSE(form.isLogModified());
    prompts.log.clear();
    form.appendLogLine(QStringLiteral("third"));
    click(form, "Button2");
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("new entry\r\nsecond\r\nthird\r\n"));
}

TEST_F(MainWindowTest, LogIntegrityALogChangedByAnotherProgramIsReplacedOnlyWhenTheUserSaysSo)
{
    ProgramWindows windows = startWithLog("mine\r\n");
    TForm1& form = *windows.Form1;
    form.appendLogLine(QStringLiteral("added here"));
    writeBytes(configuredLog(), "mine\r\nadded by another program\r\n");

    prompts.answers = {false};
    click(form, "SaveButton");
    EXPECT_EQ(prompts.log, std::vector<std::string>{changedQuestion(configuredLog())});
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("mine\r\nadded by another program\r\n"));
    EXPECT_TRUE(form.isLogModified());

    prompts.answers = {true};
    click(form, "SaveButton");
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("mine\r\nadded here\r\n"));
    EXPECT_FALSE(form.isLogModified());

    // Saved by us: no question, until another program changes it again,
    // this time by replacing it.
    prompts.log.clear();
    click(form, "SaveButton");
    EXPECT_TRUE(prompts.log.empty());
    ASSERT_TRUE(mainlog::write(configuredLog().toStdString(), "theirs\n").ok());
    prompts.answers = {false};
    click(form, "SaveButton");
    EXPECT_EQ(prompts.log, std::vector<std::string>{changedQuestion(configuredLog())});
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("theirs\r\n"));
}

TEST_F(MainWindowTest, LogIntegrityALogThatAppearedSinceTheStartCountsAsChanged)
{
    setSetting(keys::LogFile, configuredLog().toStdString());
    ProgramWindows windows = start();
    windows.Form1->appendLogLine(QStringLiteral("entry"));
    writeBytes(configuredLog(), "written by another program\r\n");
    prompts.answers = {false};
    click(*windows.Form1, "SaveButton");
    EXPECT_EQ(prompts.log, std::vector<std::string>{changedQuestion(configuredLog())});
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("written by another program\r\n"));
}

// LogFile changed while the program runs, a file picked by mistake in the
// save dialog: an existing log this window never loaded nor wrote is
// replaced only when the user says so.
TEST_F(MainWindowTest, LogIntegrityAnExistingLogTheWindowDoesNotHoldIsReplacedOnlyWhenTheUserSaysSo)
{
    ProgramWindows windows = startWithLog("mine\r\n");
    TForm1& form = *windows.Form1;
    form.show();
    form.appendLogLine(QStringLiteral("entry"));
    const QByteArray theirs = QByteArray("a long log of someone else's\r\n").repeated(400);
    const QString other = homePath(QStringLiteral("other.log"));
    const QString picked = homePath(QStringLiteral("picked.log"));
    writeBytes(other, theirs);
    writeBytes(picked, theirs);
    const auto notHeld = [](const QString& path) {
        return "Warning, default No: " + shownPath(path).toStdString() +
               " is not the log this window holds. Replace it with the text of this window?";
    };

    // No writes nothing, says nothing more and keeps the text unsaved: from
    // "Save log" after LogFile changed, "Save log as...", "Save log and Exit"
    // and the close step's save.
    setSetting(keys::LogFile, other.toStdString());
    prompts.log.clear();
    prompts.answers = {false};
    click(form, "SaveButton");
    prompts.answers = {false};
    prompts.files = {picked};
    click(form, "SaveAsButton");
    prompts.answers = {false};
    click(form, "Button2");
    prompts.answers = {true, false};
    prompts.files = {picked};
    EXPECT_FALSE(form.close());
    EXPECT_EQ(prompts.log,
              (std::vector<std::string>{notHeld(other), "save: " + other.toStdString(), notHeld(picked), notHeld(other),
                                        kChangesQuestion, "save: " + other.toStdString(), notHeld(picked)}));
    EXPECT_EQ(fileBytes(other), theirs);
    EXPECT_EQ(fileBytes(picked), theirs);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.isLogModified());

    // Yes replaces it; from then on it is a log this window wrote.
    prompts.log.clear();
    prompts.answers = {true};
    click(form, "SaveButton");
    EXPECT_EQ(prompts.log, std::vector<std::string>{notHeld(other)});
    EXPECT_EQ(fileBytes(other), QByteArray("mine\r\nentry\r\n"));
    prompts.log.clear();
    form.appendLogLine(QStringLiteral("more"));
    click(form, "SaveButton");
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_EQ(fileBytes(other), QByteArray("mine\r\nentry\r\nmore\r\n"));
    // The log it loaded is still its own.
    setSetting(keys::LogFile, configuredLog().toStdString());
    click(form, "SaveButton");
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("mine\r\nentry\r\nmore\r\n"));
}

TEST_F(MainWindowTest, LogIntegritySavesWaitForTheLogsLock)
{
    ProgramWindows windows = startWithLog("");
    windows.Form1->appendLogLine(QStringLiteral("entry"));
    // Another writer holds the lock for a while, as vantrel-cli does while it
    // appends.
    std::promise<void> locked;
    std::thread holder([&] {
        FileLock lock;
        EXPECT_TRUE(lock.acquire(configuredLog().toStdString()).ok());
        locked.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    });
    locked.get_future().wait();
    const auto before = std::chrono::steady_clock::now();
    click(*windows.Form1, "SaveButton");
    const auto waited = std::chrono::steady_clock::now() - before;
    holder.join();
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("entry\r\n"));
    EXPECT_TRUE(prompts.log.empty());
}

// ---- Readers: a log that is no regular file is refused at once ----

#ifndef _WIN32  // FIFOs do not exist on Windows.
TEST_F(MainWindowTest, ReadersAFifoAsTheLogIsRefusedAtStartWithoutWaiting)
{
    const QString fifo = homePath(QStringLiteral("fifo.log"));
    ASSERT_TRUE(makeFifo(fifo.toStdString()));
    setSetting(keys::LogFile, fifo.toStdString());
    // A start that blocks is ended by the deadline and fails instead of hanging.
    std::optional<BlockingDeadline> deadline(30);
    ProgramWindows windows = start();
    deadline.reset();
    const std::string message = "Cannot open file " + fifo.toStdString() + ".";
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Error: " + message});
    EXPECT_EQ(prompts.details, std::vector<std::string>{message + " | it is not a regular file"});
    EXPECT_TRUE(logText(windows).isEmpty());
}
#endif

// ---- The log's files through the window's seam: faults no test disk gives ----

// The main log's files on disk, but for the faults a test sets.
class FaultyLogFiles : public mainlog::LogFileAccess {
public:
    // Every write fails with this cause while it is set, as a full disk fails it.
    std::string writeCause;
    // Reading gives the file's first line, then fails with this cause while it is set.
    std::string readCause;
    int writes = 0;

    std::optional<FileIdentity> identity(const std::string& path) override
    {
        return mainlog::systemLogFileAccess().identity(path);
    }
    std::unique_ptr<mainlog::LogPieces> openPieces(const std::string& path) override
    {
        std::unique_ptr<mainlog::LogPieces> file = mainlog::systemLogFileAccess().openPieces(path);
        if (readCause.empty())
            return file;
        return std::make_unique<BrokenAfterFirstLine>(std::move(file), mainlog::cannotOpenMessage(path), readCause);
    }
    mainlog::WriteResult write(const std::string& path, std::string_view text,
                               const mainlog::WriteOptions& options) override
    {
        ++writes;
        if (!writeCause.empty())
            return mainlog::WriteResult(FileResult::refused(mainlog::cannotCreateMessage(path), writeCause));
        return mainlog::systemLogFileAccess().write(path, text, options);
    }

private:
    class BrokenAfterFirstLine : public mainlog::LogPieces {
    public:
        BrokenAfterFirstLine(std::unique_ptr<mainlog::LogPieces> file, std::string message, std::string cause)
              : file_(std::move(file)),
                outcome_(file_->outcome()),
                failure_(FileResult::refused(std::move(message), std::move(cause)))
        {
            failure_.identity = outcome_.identity;
        }
        const mainlog::ReadResult& outcome() const override { return outcome_; }
        bool atEnd() const override { return failed_; }
        void next(std::size_t bytes, std::string& piece) override
        {
            if (firstGiven_) {
                outcome_ = failure_;
                failed_ = true;
                return;
            }
            // The first line comes; the rest is to come on a later turn.
            std::string start;
            file_->next(bytes, start);
            piece += start.substr(0, start.find('\n') + 1);
            firstGiven_ = true;
        }

    private:
        std::unique_ptr<mainlog::LogPieces> file_;
        mainlog::ReadResult outcome_;
        mainlog::ReadResult failure_;
        bool firstGiven_ = false;
        bool failed_ = false;
    };
};

TEST_F(MainWindowTest, SeamASaveOnAFullDiskKeepsTheTextTheFlagAndTheWindowAndTellsFileAndCause)
{
    configureLog("on disk\r\n");
    FaultyLogFiles files;
    files.writeCause = "No space left on device";
    ProgramWindows windows(prompts, {QStringLiteral("vantrel")}, modal.show(), files);
    windows.Form1->show();
    windows.Form1->appendLogLine(QStringLiteral("unsaved"));

    // "Save log and Exit": nothing is said to be saved and the program stays.
    click(*windows.Form1, "Button2");
    const std::string message = "Cannot create file " + corePath(configuredLog()) + ".";
    EXPECT_EQ(files.writes, 1);
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Error: " + message});
    EXPECT_EQ(prompts.details, std::vector<std::string>{message + " | No space left on device"});
    EXPECT_TRUE(windows.Form1->isVisible());
    EXPECT_TRUE(windows.Form1->isLogModified());
    EXPECT_EQ(logText(windows), QStringLiteral("on disk\nunsaved\n"));
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("on disk\r\n"));

    // Room again: the same text is written and the flag goes.
    files.writeCause.clear();
    prompts.log.clear();
    click(*windows.Form1, "SaveButton");
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_FALSE(windows.Form1->isLogModified());
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("on disk\r\nunsaved\r\n"));
}

TEST_F(MainWindowTest, SeamALogWhoseReadFailsHalfwayIsToldKeptAsFarAsReadAndNotReplacedUnasked)
{
    configureLog("first\r\nsecond\r\nthird\r\n");
    FaultyLogFiles files;
    files.readCause = "Input/output error";
    ProgramWindows windows(prompts, {QStringLiteral("vantrel")}, modal.show(), files);
    MainLogEdit& memo = control<MainLogEdit>(*windows.Form1, "Memo1");
    for (int turn = 0; memo.isLoading() && turn < 1000; ++turn)
        QCoreApplication::processEvents();
    ASSERT_FALSE(memo.isLoading());

    const std::string message = "Cannot open file " + configuredLog().toStdString() + ".";
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Error: " + message});
    EXPECT_EQ(prompts.details, std::vector<std::string>{message + " | Input/output error"});
    EXPECT_EQ(logText(windows), QStringLiteral("first\n"));
    EXPECT_FALSE(windows.Form1->isLogModified());

    // Saving would cut the file to the line read: it asks first, and No keeps it.
    prompts.log.clear();
    prompts.answers.push_back(false);
    click(*windows.Form1, "SaveButton");
    EXPECT_EQ(prompts.log, std::vector<std::string>{notLoadedQuestion(configuredLog())});
    EXPECT_EQ(files.writes, 0);
    EXPECT_EQ(fileBytes(configuredLog()), QByteArray("first\r\nsecond\r\nthird\r\n"));
}

// ---- Messages: the fixed texts stay, the cause goes below them ----

TEST_F(MainWindowTest, MessagesFailureBoxesTellTheCauseBelowTheFixedText)
{
    setSetting(keys::LogFile, configuredLog().toStdString());
    makeOversizedLog(configuredLog());
    ProgramWindows windows = start();
    EXPECT_EQ(prompts.details,
              std::vector<std::string>{"Text exceeds memo capacity. | " + configuredLog().toStdString() +
                                       " holds 67108865 bytes, more than the 67108864 the log can hold"});

    prompts.details.clear();
    const QString missing = homePath(QStringLiteral("no/such/folder.log"));
    prompts.files = {missing};
    click(*windows.Form1, "SaveAsButton");
    const QString readOnly = homePath(QStringLiteral("read-only.log"));
    writeBytes(readOnly, "kept\r\n");
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner));
    prompts.files = {readOnly};
    prompts.answers = {true};  // replace a log this window does not hold
    click(*windows.Form1, "SaveAsButton");

    // A settings file that refuses the write: the open flow's LastDir.
    ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(paths::settingsFile()), QFileDevice::ReadOwner));
    openPilot(*windows.Form1, samplePilot());
    EXPECT_EQ(prompts.details,
              (std::vector<std::string>{
                  "Cannot create file " + corePath(missing) + ". | No such file or directory",
                  "Cannot create file " + corePath(readOnly) + ". | " + std::string(kReadOnlyCause),
                  "Unable to write to " + paths::settingsFile() + ". | " + std::string(kReadOnlyCause)}));
    EXPECT_EQ(prompts.log.back(), "Error: Unable to write to " + paths::settingsFile() + ".");
}

TEST_F(MainWindowTest, SettingsAndAboutAreShownModally)
{
    ProgramWindows windows = start();
    click(*windows.Form1, "Button1");
    click(*windows.Form1, "AboutButton");
    click(*windows.PltFileView, "Button4");
    EXPECT_EQ(modal.shown, (std::vector<std::string>{"SettingsDlg", "AboutBox", "SettingsDlg"}));
}

// A log whose rest cannot be read once it is coming in: the window keeps the
// start it holds, says why, and saving over the file asks first.
TEST_F(LogStillComingInTest, ARestThatCannotBeReadIsToldAndTheFileIsNotReplacedUnasked)
{
    makeOversizedLog(configuredLog());
    untilLoaded();
    EXPECT_FALSE(memo().isLoading());
    ASSERT_EQ(prompts.log.size(), 1u);
    EXPECT_EQ(prompts.log[0], "Error: Text exceeds memo capacity.");
    EXPECT_TRUE(memo().logText().startsWith(QStringLiteral("0 Kestrel")));
    EXPECT_FALSE(windows->Form1->isLogModified());

    prompts.log.clear();
    prompts.answers.push_back(false);
    click(*windows->Form1, "SaveButton");
    EXPECT_EQ(prompts.log, std::vector<std::string>{notLoadedQuestion(configuredLog())});
    EXPECT_EQ(QFileInfo(configuredLog()).size(), qint64(mainlog::kCapacityBytes) + 1);
}

}  // namespace
}  // namespace vantrel::testing
