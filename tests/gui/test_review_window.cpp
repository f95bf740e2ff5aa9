// The review window: the main window's button, loading files and folders off
// the window's thread (files that do not load, FIFOs, Cancel), sorting,
// marks, the entries it adds to the main log, the CSV it saves and the open
// flow of a double-click.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "core/pilot/PilotLoader.h"
#include "core/platform/PlatformPaths.h"
#include "core/settings/SettingsKeys.h"
#include "gui/mainwindow/MainLogEdit.h"
#include "gui/review/PilotTableModel.h"
#include "gui/pilotview/PltFile.h"
#include "gui/review/ReviewWindow.h"

namespace vantrel::testing {
namespace {

namespace L = vantrel::layout;

constexpr int kTotalColumn = PilotTableModel::kCampaignTotalColumn;
constexpr int kNameCol = PilotTableModel::kPilotNameColumn;
constexpr int kRankCol = PilotTableModel::kRankColumn;
constexpr int kFileCol = PilotTableModel::kFileNameColumn;

// The window's controls, found by their names as a user finds them by sight.
template <class Control>
Control& child(QWidget& window, const char* name)
{
    auto* control = window.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return *control;
}
QPushButton& button(QWidget& window, const char* name)
{
    return child<QPushButton>(window, name);
}
QTableView& tableOf(QWidget& window)
{
    return child<QTableView>(window, "PilotTable");
}
PilotTableModel& modelOf(QWidget& window)
{
    return child<PilotTableModel>(window, "PilotTableModel");
}
QString summaryOf(QWidget& window)
{
    return child<QLabel>(window, "SummaryLabel").text();
}

struct Pilot {
    std::string name;
    std::int32_t score = 0;  // every TOD copy, and the one mission's score
    std::int32_t rank = 0;
    std::int32_t todScoreB = -1;     // another copy B when not -1: a check error
    std::int32_t missionScore = -1;  // another mission score when not -1: the total warning
};

// Opens the gate only when told: a file access whose n-th open waits.
class GatedFileAccess final : public FileAccess {
public:
    explicit GatedFileAccess(int waitAtOpen) : waitAt_(waitAtOpen) {}
    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override
    {
        const int n = ++opens;
        if (n == waitAt_) {
            std::unique_lock<std::mutex> lock(mutex_);
            waiting = true;
            wake_.wait(lock, [this] { return released_; });
        }
        return systemFileAccess().open(path, mode);
    }
    void release()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            released_ = true;
        }
        wake_.notify_all();
    }
    std::atomic<int> opens{0};
    std::atomic<bool> waiting{false};

private:
    int waitAt_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool released_ = false;
};

class ReviewWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        setSetting(keys::NameSource, "0");  // the entries name the pilot as the file does
    }

    QString writeReviewPilot(const QString& fileName, const Pilot& p) const
    {
        return writePilot(fileName, {}, [&](PilotImage& image) {
            image.setText(L::PilotName, p.name);
            image.setInt(L::Rank, p.rank);
            for (const auto& field : {L::TODScoreA, L::TODScoreB, L::TODScoreC, L::TODScoreD})
                image.setInt(field, p.score);
            if (p.todScoreB != -1)
                image.setInt(L::TODScoreB, p.todScoreB);
            PilotImage::Mission mission;
            mission.score = p.missionScore != -1 ? p.missionScore : p.score;
            image.setMission(L::CampaignMissionRecords, 0, mission);
        });
    }

    // The load error column of a file of 1000 bytes: the load's messages in turn.
    static QString truncatedError()
    {
        return QString::fromStdString(wrongSizeMessage(1000) + " " + loadErrorsMessage(1));
    }

    // A file of the wrong length: the load refuses it.
    QString writeTruncated(const QString& fileName) const
    {
        const QString path = homePath(fileName);
        writeBytes(path, QByteArray(1000, '\0'));
        return path;
    }

    // The three pilots of most tests and a broken file, in name order.
    QStringList writeSquad()
    {
        QDir(homePath()).mkpath(QStringLiteral("squad"));
        return {writeReviewPilot(QStringLiteral("squad/a.plt"), {"bravo", 900, 0, 901}),
                writeReviewPilot(QStringLiteral("squad/b.plt"), {"Alpha", 10000, 8}),
                writeReviewPilot(QStringLiteral("squad/c.plt"), {"charlie", 2500, 5}),
                writeTruncated(QStringLiteral("squad/d.plt"))};
    }

    // Waits for the loading to end; false when it did not within the limit.
    static bool finishes(TReviewWindow& window, int milliseconds = 20000)
    {
        QElapsedTimer clock;
        clock.start();
        while (window.isLoading() && clock.elapsed() < milliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(1);
        }
        QCoreApplication::processEvents();
        return !window.isLoading();
    }

    // The window as the main window's button opens it, with `paths` loaded.
    TReviewWindow& openReview(ProgramWindows& windows, const QStringList& paths)
    {
        click(*windows.Form1, "ReviewButton");
        TReviewWindow& review = *windows.ReviewWindow;
        review.addPaths(paths);
        EXPECT_TRUE(finishes(review)) << "loading did not finish";
        return review;
    }

    static QStringList column(const PilotTableModel& model, int column)
    {
        QStringList cells;
        for (int row = 0; row < model.rowCount(); ++row)
            cells << model.index(row, column).data().toString();
        return cells;
    }

    static void selectRows(TReviewWindow& review, const std::vector<int>& rows)
    {
        tableOf(review).clearSelection();
        for (int row : rows)
            tableOf(review).selectionModel()->select(tableOf(review).model()->index(row, 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    static QString logOf(const ProgramWindows& windows)
    {
        return control<MainLogEdit>(*windows.Form1, "Memo1").toPlainText();
    }
};

TEST_F(ReviewWindowTest, TheMainWindowsButtonOpensOneNonModalWindowThatBelongsToIt)
{
    ProgramWindows windows = start();
    windows.Form1->show();
    click(*windows.Form1, "ReviewButton");
    TReviewWindow* review = windows.ReviewWindow;
    ASSERT_NE(review, nullptr);
    EXPECT_TRUE(review->isVisible());
    EXPECT_TRUE(review->isWindow());
    EXPECT_EQ(review->parentWidget(), windows.Form1.get());
    EXPECT_EQ(review->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    review->close();
    click(*windows.Form1, "ReviewButton");
    EXPECT_EQ(windows.ReviewWindow, review);
    EXPECT_TRUE(review->isVisible());
}

TEST_F(ReviewWindowTest, SortsNumbersAsNumbersRanksInGameOrderAndTextWithoutLetterCase)
{
    ProgramWindows windows = start();
    writeSquad();
    TReviewWindow& review = openReview(windows, {homePath(QStringLiteral("squad"))});
    PilotTableModel& model = modelOf(review);
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(column(model, kNameCol), QStringList({"bravo", "Alpha", "charlie", ""}));

    // Alpha is selected and stays so through every sort.
    selectRows(review, {1});
    const auto selectedName = [&] {
        const QModelIndexList rows = tableOf(review).selectionModel()->selectedRows(kNameCol);
        return rows.size() == 1 ? rows.first().data().toString() : QStringLiteral("<none>");
    };

    // As text "10000" would come before "2500" and "900".
    tableOf(review).sortByColumn(kTotalColumn, Qt::AscendingOrder);
    EXPECT_EQ(column(model, kTotalColumn), QStringList({"", "900", "2500", "10000"}));
    EXPECT_EQ(selectedName(), QStringLiteral("Alpha"));
    tableOf(review).sortByColumn(kTotalColumn, Qt::DescendingOrder);
    EXPECT_EQ(column(model, kTotalColumn), QStringList({"10000", "2500", "900", ""}));

    tableOf(review).sortByColumn(kNameCol, Qt::AscendingOrder);
    EXPECT_EQ(column(model, kNameCol), QStringList({"", "Alpha", "bravo", "charlie"}));
    EXPECT_EQ(selectedName(), QStringLiteral("Alpha"));

    // Recruit, Captain, General: the game's order, not the alphabet's.
    tableOf(review).sortByColumn(kRankCol, Qt::AscendingOrder);
    EXPECT_EQ(column(model, kRankCol), QStringList({"", "Recruit", "Captain", "General"}));

    // Rows that arrive while sorted go where the sort puts them.
    review.addPaths({writeReviewPilot(QStringLiteral("late.plt"), {"delta", 50, 1})});
    ASSERT_TRUE(finishes(review));
    EXPECT_EQ(column(model, kRankCol), QStringList({"", "Recruit", "Flight Cadet", "Captain", "General"}));
    EXPECT_EQ(selectedName(), QStringLiteral("Alpha"));

    model.sort(-1);
    EXPECT_EQ(column(model, kNameCol), QStringList({"bravo", "Alpha", "charlie", "", "delta"}));
}

TEST_F(ReviewWindowTest, MarksRowsWhoseCheckFindsErrorsOrTheTotalWarningAndRowsThatDidNotLoad)
{
    ProgramWindows windows = start();
    const QStringList paths = {
        writeReviewPilot(QStringLiteral("clean.plt"), {"Clean", 1000}),
        writeReviewPilot(QStringLiteral("copies.plt"), {"Copies", 1000, 0, 999}),
        writeReviewPilot(QStringLiteral("total.plt"), {"Total", 1000, 0, -1, 500}),
        writePilot(QStringLiteral("lists.plt"), {},
                   [](PilotImage& image) {
                       image.setText(L::PilotName, "Lists");
                       image.setInt(L::TODKillsA, 81, 5);
                       image.setInt(L::TODKillsB, 41, 5);
                       image.setInt(L::TODTotalKills, 81);
                   }),
        writeTruncated(QStringLiteral("short.plt")),
    };
    TReviewWindow& review = openReview(windows, paths);
    PilotTableModel& model = modelOf(review);
    ASSERT_EQ(model.rowCount(), 5);

    // Failed checks "!", the total warning alone "?", not loaded "X".
    EXPECT_EQ(column(model, PilotTableModel::kMarkColumn), QStringList({"", "!", "?", "!", "X"}));
    QStringList described;
    for (int row = 0; row < 5; ++row)
        described << model.index(row, PilotTableModel::kMarkColumn).data(Qt::AccessibleTextRole).toString();
    EXPECT_EQ(
        described,
        QStringList({"Check passed", "Fails the check: 1 integrity error(s)",
                     "Score total warning only: the stored scores do not add up to the missions' sum, which "
                     "may not be a real error",
                     "Fails the check: 1 other copy(ies) differ\nTOD kills, TIE Interceptor: list A 81, list B 41",
                     "Not loaded: " + truncatedError()}));
    // The other copies' count is the table's last column.
    EXPECT_EQ(model.index(3, PilotTableModel::kOtherCopiesColumn).data().toString(), QStringLiteral("1"));
    // The whole row is coloured, each kind its own way.
    const auto background = [&](int row, int col) { return model.index(row, col).data(Qt::BackgroundRole); };
    EXPECT_FALSE(background(0, kNameCol).isValid());
    EXPECT_TRUE(background(1, kNameCol).isValid());
    EXPECT_EQ(background(1, kTotalColumn), background(3, kNameCol));
    EXPECT_TRUE(background(2, kNameCol).isValid());
    EXPECT_NE(background(2, kNameCol), background(1, kNameCol));
    EXPECT_TRUE(background(4, kFileCol).isValid());
    EXPECT_NE(background(4, kFileCol), background(1, kFileCol));
    EXPECT_NE(background(4, kFileCol), background(2, kFileCol));
    EXPECT_EQ(model.count(PilotMark::FailsCheck), 2);
    EXPECT_EQ(model.count(PilotMark::TotalWarningOnly), 1);
    EXPECT_EQ(model.count(PilotMark::NotLoaded), 1);
    EXPECT_EQ(summaryOf(review),
              QStringLiteral("5 pilots: 2 fail the check, 1 with the total warning only, 1 did not load"));
    EXPECT_EQ(child<QProgressBar>(review, "LoadProgress").text(), QStringLiteral("5 of 5 files"));

    // By weight when sorted by the mark: not loaded, failed, warning only, passed.
    tableOf(review).sortByColumn(PilotTableModel::kMarkColumn, Qt::DescendingOrder);
    EXPECT_EQ(column(model, kNameCol), QStringList({"", "Copies", "Lists", "Total", "Clean"}));

    // Only the marked rows, and the summary stays the whole table's.
    QCheckBox& markedOnly = child<QCheckBox>(review, "MarkedOnlyBox");
    EXPECT_EQ(markedOnly.text(), QStringLiteral("Show only marked"));
    markedOnly.click();
    QAbstractItemModel& shown = *tableOf(review).model();
    ASSERT_EQ(shown.rowCount(), 4);
    QStringList names;
    for (int row = 0; row < shown.rowCount(); ++row)
        names << shown.index(row, kNameCol).data().toString();
    EXPECT_EQ(names, QStringList({"", "Copies", "Lists", "Total"}));
    EXPECT_EQ(summaryOf(review),
              QStringLiteral("5 pilots: 2 fail the check, 1 with the total warning only, 1 did not load"));
    markedOnly.click();
    EXPECT_EQ(shown.rowCount(), 5);
}

#ifndef _WIN32
// FIFOs do not exist on Windows, and making a symbolic link there takes a
// privilege the tests cannot count on.
TEST_F(ReviewWindowTest, FilesThatDoNotLoadGetARowWithTheirErrorAndNeverHang)
{
    ProgramWindows windows = start();
    const QString folder = homePath(QStringLiteral("mixed"));
    QDir(homePath()).mkpath(QStringLiteral("mixed/inner.plt"));
    writeReviewPilot(QStringLiteral("mixed/inner.plt/deep.plt"), {"Deep", 10});
    writeTruncated(QStringLiteral("mixed/cut.plt"));
    ASSERT_TRUE(makeFifo((folder + QStringLiteral("/pipe.plt")).toStdString()));
    ASSERT_TRUE(makeSymlink("nowhere.plt", (folder + QStringLiteral("/gone.plt")).toStdString()));
    const QString fifoGiven = homePath(QStringLiteral("given.plt"));
    ASSERT_TRUE(makeFifo(fifoGiven.toStdString()));

    click(*windows.Form1, "ReviewButton");
    TReviewWindow& review = *windows.ReviewWindow;
    review.addPaths({folder, fifoGiven, homePath(QStringLiteral("missing.plt"))});
    ASSERT_TRUE(finishes(review)) << "a FIFO or a broken link held up loading";

    PilotTableModel& model = modelOf(review);
    QStringList files;
    for (int row = 0; row < model.rowCount(); ++row)
        files << QFileInfo(model.filePath(row)).fileName();
    // The folder named like a pilot file is searched, not loaded.
    EXPECT_EQ(files, QStringList({"cut.plt", "gone.plt", "deep.plt", "pipe.plt", "given.plt", "missing.plt"}));
    for (int row = 0; row < model.rowCount(); ++row) {
        SCOPED_TRACE(files[row].toStdString());
        const bool loaded = files[row] == QStringLiteral("deep.plt");
        EXPECT_EQ(model.pilot(row).entry.loaded, loaded);
        const QString error = model.index(row, PilotTableModel::kLoadErrorColumn).data().toString();
        EXPECT_EQ(error.isEmpty(), loaded);
        EXPECT_EQ(model.index(row, PilotTableModel::kMarkColumn).data().toString(),
                  loaded ? QString() : QStringLiteral("X"));
    }
    EXPECT_EQ(model.index(0, PilotTableModel::kLoadErrorColumn).data().toString(), truncatedError());
    // A file that cannot be opened shows why, as the command line's table does.
    QStringList causes;
    for (int row : {1, 3, 4, 5})
        causes << model.index(row, PilotTableModel::kLoadErrorColumn).data().toString();
    EXPECT_EQ(causes, QStringList({"a link to a missing file", "is not a regular file", "is not a regular file",
                                   "no such file"}));
    EXPECT_TRUE(prompts.log.empty());
}
#endif

TEST_F(ReviewWindowTest, AddEntriesAppendsTheSelectedRowsEntriesInTheOrderShown)
{
    setSetting(keys::LogFile, homePath(QStringLiteral("main.log")).toStdString());
    writeBytes(homePath(QStringLiteral("main.log")), "typed by hand");
    ProgramWindows windows = start();
    writeSquad();
    TReviewWindow& review = openReview(windows, {homePath(QStringLiteral("squad"))});
    EXPECT_FALSE(button(review, "AddEntriesButton").isEnabled());

    // Only the broken file chosen: there is no entry to add.
    selectRows(review, {3});
    EXPECT_FALSE(button(review, "AddEntriesButton").isEnabled());

    tableOf(review).sortByColumn(kNameCol, Qt::DescendingOrder);
    // Chosen in another order than shown, the broken file among them.
    selectRows(review, {3, 0, 2, 1});
    ASSERT_TRUE(button(review, "AddEntriesButton").isEnabled());
    button(review, "AddEntriesButton").click();
    EXPECT_EQ(child<QLabel>(review, "StatusLabel").text(),
              QStringLiteral("3 entries added to the main log; 1 row that did not load was skipped"));
    EXPECT_EQ(logOf(windows), QStringLiteral("typed by hand\n"
                                             "charlie - Score: 2500 (2500+0)\n"
                                             "! bravo - Score: 900 (900+0) ! Errors in file!\n"
                                             "Alpha - Score: 10000 (10000+0)"));
    EXPECT_TRUE(windows.Form1->isLogModified());

    // The settings as they are now: without the check there is no mark.
    setSetting(keys::CheckCheat, "0");
    control<MainLogEdit>(*windows.Form1, "Memo1").clear();
    selectRows(review, {1});
    button(review, "AddEntriesButton").click();
    EXPECT_EQ(logOf(windows), QStringLiteral("bravo - Score: 900 (900+0)\n"));
    EXPECT_EQ(child<QLabel>(review, "StatusLabel").text(), QStringLiteral("1 entry added to the main log"));

    // A setting that is no number stops them all.
    setSetting(keys::ScoreFormat, "x");
    selectRows(review, {0, 1});
    button(review, "AddEntriesButton").click();
    EXPECT_EQ(logOf(windows), QStringLiteral("bravo - Score: 900 (900+0)\n"));
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Error: 'x' is not a valid integer value."});
}

TEST_F(ReviewWindowTest, SavesTheCsvTableInTheOrderShownAsTheCommandLineWritesIt)
{
    ProgramWindows windows = start();
    QStringList paths = writeSquad();
    paths << writeReviewPilot(QStringLiteral("squad/e.plt"), {"Ace \"Red\",2", 700, 2});
    TReviewWindow& review = openReview(windows, {homePath(QStringLiteral("squad"))});
    ASSERT_EQ(modelOf(review).rowCount(), 5);

    const QString csv = homePath(QStringLiteral("pilots.csv"));
    prompts.files.push_back(csv);
    button(review, "SaveCsvButton").click();
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_TRUE(prompts.saveRequests.front().confirmOverwrite);
    const QByteArray saved = fileBytes(csv);

    QProcess cli;
    cli.start(QStringLiteral(VANTREL_CLI_PATH),
              {"table", "--format", "csv", shownPath(homePath(QStringLiteral("squad")))});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(saved, cli.readAllStandardOutput());
    EXPECT_TRUE(saved.startsWith("File,Pilot name,Rank,"));
    EXPECT_TRUE(saved.contains(",\"Ace \"\"Red\"\",2\",Flight Officer,"));
    EXPECT_EQ(saved.count("\r\n"), 6);
    EXPECT_EQ(saved.count('\n'), 6);

    // In the order shown, the file replaced as a whole.
    tableOf(review).sortByColumn(kTotalColumn, Qt::DescendingOrder);
    prompts.files.push_back(csv);
    button(review, "SaveCsvButton").click();
    const QList<QByteArray> lines = fileBytes(csv).split('\n');
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[1].startsWith(shownPath(paths[1]).toUtf8() + ",Alpha,"));
    EXPECT_TRUE(lines[5].startsWith(shownPath(paths[3]).toUtf8() + ",,"));
    EXPECT_TRUE(lines[6].isEmpty());
    EXPECT_EQ(prompts.log.size(), 2u);
}

// Names a spreadsheet would run as formulas are saved as text, with a
// leading apostrophe; numbers, negative ones too, stay numbers.
TEST_F(ReviewWindowTest, TheCsvShowsNamesThatLookLikeFormulasAsText)
{
    ProgramWindows windows = start();
    QDir(homePath()).mkpath(QStringLiteral("squad"));
    writeReviewPilot(QStringLiteral("squad/a.plt"), {"=1+2", -50});
    writeReviewPilot(QStringLiteral("squad/b.plt"), {"@SUM(A1)", 700});
    writeReviewPilot(QStringLiteral("squad/c.plt"), {"-2,+cmd|/C", 3});
    TReviewWindow& review = openReview(windows, {homePath(QStringLiteral("squad"))});
    ASSERT_EQ(modelOf(review).rowCount(), 3);

    const QString csv = homePath(QStringLiteral("pilots.csv"));
    prompts.files.push_back(csv);
    button(review, "SaveCsvButton").click();
    const QList<QByteArray> lines = fileBytes(csv).split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[1].startsWith(shownPath(homePath(QStringLiteral("squad/a.plt"))).toUtf8() + ",'=1+2,"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(",-50,0,0,0,-50,")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(".plt,'@SUM(A1),")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].contains(".plt,\"'-2,+cmd|/C\",")) << lines[3].toStdString();
}

TEST_F(ReviewWindowTest, ACsvSaveThatFailsIsToldWithTheFileAndItsCause)
{
    ProgramWindows windows = start();
    TReviewWindow& review = openReview(windows, {writeReviewPilot(QStringLiteral("a.plt"), {"Able", 10})});
    const QString target = homePath(QStringLiteral("missing/pilots.csv"));
    prompts.files.push_back(target);
    button(review, "SaveCsvButton").click();
    EXPECT_EQ(prompts.log.back(), "Error: Cannot create file " + corePath(target) + ".");
    ASSERT_EQ(prompts.details.size(), 1u);
    EXPECT_NE(prompts.details.front().find("No such file or directory"), std::string::npos) << prompts.details.front();
    EXPECT_FALSE(QFileInfo::exists(target));
    // The dialog and the box stand over the review window, not the main one.
    ASSERT_GE(prompts.owners.size(), 2u);
    EXPECT_EQ(prompts.owners[prompts.owners.size() - 2], &review);
    EXPECT_EQ(prompts.owners.back(), &review);

    // Cancelling the dialog writes nothing and tells nothing.
    prompts.log.clear();
    prompts.files.push_back(std::nullopt);
    button(review, "SaveCsvButton").click();
    EXPECT_EQ(prompts.log, std::vector<std::string>{"save: " + target.toStdString()});
}

TEST_F(ReviewWindowTest, CancelStopsLoadingAndTheWindowLoadsAgainAfterIt)
{
    QDir(homePath()).mkpath(QStringLiteral("many"));
    for (int i = 0; i < 40; ++i)
        writeReviewPilot(QStringLiteral("many/p%1.plt").arg(i, 2, 10, QLatin1Char('0')), {"P", i});
    GatedFileAccess files(3);
    TReviewWindow review(prompts, reviewHooks(), nullptr, files);
    bool cancelledSeen = false;
    QObject::connect(&review, &TReviewWindow::loadingFinished, [&] { cancelledSeen = true; });
    review.addPaths({homePath(QStringLiteral("many"))});
    EXPECT_TRUE(review.isLoading());
    EXPECT_TRUE(button(review, "CancelButton").isEnabled());

    QElapsedTimer clock;
    clock.start();
    while (!files.waiting && clock.elapsed() < 10000)
        QThread::msleep(1);
    ASSERT_TRUE(files.waiting);
    button(review, "CancelButton").click();
    EXPECT_TRUE(cancelledSeen);
    EXPECT_FALSE(review.isLoading());
    EXPECT_FALSE(button(review, "CancelButton").isEnabled());
    files.release();

    // Nothing more arrives, and no further file is read.
    clock.restart();
    while (clock.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_LE(modelOf(review).rowCount(), 2);
    EXPECT_EQ(files.opens, 3);
    EXPECT_TRUE(summaryOf(review).startsWith(QStringLiteral("Loading cancelled.")));

    review.addPaths({homePath(QStringLiteral("many/p39.plt"))});
    ASSERT_TRUE(finishes(review));
    EXPECT_EQ(modelOf(review).filePath(modelOf(review).rowCount() - 1),
              shownPath(homePath(QStringLiteral("many/p39.plt"))));
}

TEST_F(ReviewWindowTest, ADoubleClickRunsTheOpenFlowForALoadedRowOnly)
{
    ProgramWindows windows = start();
    TReviewWindow& review = openReview(windows, {samplePilot(), writeTruncated(QStringLiteral("broken.plt"))});
    ASSERT_EQ(modelOf(review).rowCount(), 2);

    emit tableOf(review).doubleClicked(tableOf(review).model()->index(1, kNameCol));
    EXPECT_TRUE(modal.shown.empty());
    EXPECT_TRUE(prompts.log.empty());

    emit tableOf(review).doubleClicked(tableOf(review).model()->index(0, kNameCol));
    ASSERT_EQ(modal.shown, std::vector<std::string>{"PltFileView"});
    EXPECT_EQ(windows.PltFileView->windowTitle(), samplePilot());
    EXPECT_EQ(logOf(windows), control<QLineEdit>(*windows.PltFileView, "ExportEdit").text() + QLatin1Char('\n'));
    EXPECT_EQ(setting(keys::LastDir), samplePilot().toStdString());
}

TEST_F(ReviewWindowTest, DroppedAndPickedFilesAndFoldersAreLoaded)
{
    ProgramWindows windows = start();
    writeSquad();
    const QString single = writeReviewPilot(QStringLiteral("single.plt"), {"Single", 5});
    click(*windows.Form1, "ReviewButton");
    TReviewWindow& review = *windows.ReviewWindow;

    // A folder without pilots: nothing to show, and the loading is over.
    QDir(homePath()).mkpath(QStringLiteral("empty"));
    review.addPaths({homePath(QStringLiteral("empty"))});
    ASSERT_TRUE(finishes(review));
    EXPECT_EQ(modelOf(review).rowCount(), 0);
    // Nor any progress: the bar is not full of nothing.
    const QProgressBar& bar = child<QProgressBar>(review, "LoadProgress");
    EXPECT_EQ(bar.text(), QString());
    EXPECT_EQ(bar.value(), bar.minimum());
    EXPECT_LT(bar.value(), bar.maximum());

    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(homePath(QStringLiteral("squad"))), QUrl::fromLocalFile(single),
                     QUrl(QStringLiteral("https://example.invalid/x.plt"))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&review, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&review, &drop);
    ASSERT_TRUE(finishes(review));
    EXPECT_EQ(column(modelOf(review), kNameCol), QStringList({"bravo", "Alpha", "charlie", "", "Single"}));
    // A second folder adds to the count: the bar and the summary agree.
    QDir(homePath()).mkpath(QStringLiteral("more"));
    writeReviewPilot(QStringLiteral("more/extra.plt"), {"Extra", 5});
    review.addPaths({homePath(QStringLiteral("more"))});
    ASSERT_TRUE(finishes(review));
    EXPECT_EQ(bar.text(), QStringLiteral("6 of 6 files"));
    EXPECT_TRUE(summaryOf(review).startsWith(QStringLiteral("6 pilots:"))) << summaryOf(review).toStdString();

    button(review, "ClearButton").click();
    EXPECT_EQ(modelOf(review).rowCount(), 0);

    setSetting(keys::LastDir, homePath(QStringLiteral("squad/b.plt")).toStdString());
    prompts.fileLists.push_back(QStringList{single});
    button(review, "AddFilesButton").click();
    prompts.files.push_back(homePath(QStringLiteral("squad")));
    button(review, "AddFolderButton").click();
    ASSERT_TRUE(finishes(review));
    EXPECT_EQ(column(modelOf(review), kNameCol), QStringList({"Single", "bravo", "Alpha", "charlie", ""}));
    ASSERT_EQ(prompts.openRequests.size(), 2u);
    EXPECT_EQ(prompts.openRequests[0].directory, homePath(QStringLiteral("squad/b.plt")));
    EXPECT_EQ(prompts.openRequests[1].directory, homePath(QStringLiteral("squad/b.plt")));
}

TEST_F(ReviewWindowTest, RealPilotsGiveTheRowsOfTheCommandLineTable)
{
    VANTREL_REQUIRE_REAL_PILOT(yoda, "PickledYoda0.plt");
    VANTREL_REQUIRE_REAL_PILOT(tc, "XWA-TC-56.plt");
    ProgramWindows windows = start();
    const QStringList paths = {QString::fromStdString(yoda), QString::fromStdString(tc), samplePilot()};
    TReviewWindow& review = openReview(windows, paths);
    ASSERT_EQ(modelOf(review).rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_TRUE(modelOf(review).pilot(row).entry.loaded) << row;

    QProcess cli;
    cli.start(QStringLiteral(VANTREL_CLI_PATH), QStringList{"table", "--format", "csv"} + paths);
    ASSERT_TRUE(cli.waitForFinished(30000));
    const QString csv = homePath(QStringLiteral("real.csv"));
    prompts.files.push_back(csv);
    button(review, "SaveCsvButton").click();
    EXPECT_EQ(fileBytes(csv), cli.readAllStandardOutput());
}

TEST_F(ReviewWindowTest, TheVerdictsColumnsComeFirstAndStayInPlaceWhileTheFiguresScroll)
{
    ProgramWindows windows = start();
    writeSquad();
    TReviewWindow& review = openReview(windows, {homePath(QStringLiteral("squad"))});
    QTableView& table = tableOf(review);
    QStringList headers;
    for (int c = 0; c < table.model()->columnCount(); ++c)
        headers << table.model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers.mid(0, 7), QStringList({"Mark", "File", "Pilot name", "Check errors", "Total warning",
                                              "Load error", "Other copies differ"}));
    EXPECT_EQ(headers.last(), QStringLiteral("Folder"));
    // Every column of the command line's table is there.
    EXPECT_EQ(headers.size(), static_cast<int>(kPilotTableColumns) + 2);

    // The file's name, its folder at the end, the full path as the tooltip.
    const QString path = homePath(QStringLiteral("squad/b.plt"));
    QAbstractItemModel& shown = *table.model();
    EXPECT_EQ(shown.index(1, kFileCol).data().toString(), QStringLiteral("b.plt"));
    EXPECT_EQ(shown.index(1, PilotTableModel::kFolderColumn).data().toString(),
              shownPath(homePath(QStringLiteral("squad"))));
    EXPECT_EQ(shown.index(1, kFileCol).data(Qt::ToolTipRole).toString(), shownPath(path));
    EXPECT_EQ(shown.index(1, PilotTableModel::kCheckErrorsColumn).data().toString(), QStringLiteral("0"));
    EXPECT_EQ(shown.index(0, PilotTableModel::kCheckErrorsColumn).data().toString(), QStringLiteral("1"));
    EXPECT_EQ(shown.index(0, PilotTableModel::kTotalWarningColumn).data().toString(), QStringLiteral("no"));
    EXPECT_EQ(shown.index(3, PilotTableModel::kLoadErrorColumn).data().toString(), truncatedError());
    // Room for a name of twelve characters.
    EXPECT_GE(table.columnWidth(kNameCol), table.fontMetrics().horizontalAdvance(QStringLiteral("WWWWWWWWWWWW")));

    // Scrolled to the far right, the mark, file and pilot name are still in sight.
    review.resize(600, 400);
    review.show();
    QCoreApplication::processEvents();
    auto* frozen = table.findChild<QTableView*>(QStringLiteral("FrozenColumns"));
    ASSERT_NE(frozen, nullptr);
    EXPECT_TRUE(frozen->isVisible());
    EXPECT_EQ(frozen->model(), table.model());
    EXPECT_EQ(frozen->selectionModel(), table.selectionModel());
    for (int c = 0; c < shown.columnCount(); ++c)
        EXPECT_EQ(frozen->isColumnHidden(c), c > kNameCol) << c;
    table.horizontalScrollBar()->setValue(table.horizontalScrollBar()->maximum());
    QCoreApplication::processEvents();
    ASSERT_GT(table.horizontalScrollBar()->value(), 0);
    EXPECT_EQ(frozen->columnViewportPosition(kNameCol), table.columnWidth(0) + table.columnWidth(1));
    EXPECT_GE(frozen->width(), table.columnWidth(0) + table.columnWidth(1) + table.columnWidth(2));
    EXPECT_EQ(frozen->geometry().left(), table.viewport()->geometry().left());
    // The same rows side by side as the table scrolls down.
    table.verticalScrollBar()->setValue(table.verticalScrollBar()->maximum());
    EXPECT_EQ(frozen->verticalScrollBar()->value(), table.verticalScrollBar()->value());
    // Its header sorts the table as the table's own does.
    QTest::mouseClick(frozen->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(frozen->horizontalHeader()->sectionViewportPosition(kNameCol) + 5, 5));
    EXPECT_EQ(column(modelOf(review), kNameCol), QStringList({"", "Alpha", "bravo", "charlie"}));
    EXPECT_EQ(table.horizontalHeader()->sortIndicatorSection(), kNameCol);
    review.close();
}

#ifndef _WIN32
// Making a symbolic link on Windows takes a privilege the tests cannot count
// on.
TEST_F(ReviewWindowTest, TheSameFileHoweverReachedIsOneRowThatAddingAgainRefreshes)
{
    setSetting(keys::LogFile, homePath(QStringLiteral("main.log")).toStdString());
    ProgramWindows windows = start();
    writeSquad();
    const QString squad = homePath(QStringLiteral("squad"));
    ASSERT_TRUE(makeSymlink(squad.toStdString(), homePath(QStringLiteral("linked")).toStdString()));
    ASSERT_TRUE(makeSymlink("a.plt", homePath(QStringLiteral("squad/a-link.plt")).toStdString()));
    TReviewWindow& review = openReview(windows, {squad});
    ASSERT_EQ(modelOf(review).rowCount(), 4);  // the link beside a.plt is a.plt

    // The folder again, through a link, by a relative path, file by file.
    review.addPaths({squad, homePath(QStringLiteral("linked")), QStringLiteral("squad/b.plt"),
                     QStringLiteral("./squad/../squad/c.plt"), homePath(QStringLiteral("squad/d.plt"))});
    ASSERT_TRUE(finishes(review));
    EXPECT_EQ(modelOf(review).rowCount(), 4);
    EXPECT_EQ(summaryOf(review),
              QStringLiteral("4 pilots: 1 fails the check, 0 with the total warning only, 1 did not load"));

    // Changed on disk and added again: its row shows it as it is now.
    writeReviewPilot(QStringLiteral("squad/c.plt"), {"charlie", 3000, 5});
    writeReviewPilot(QStringLiteral("squad/d.plt"), {"delta", 40, 1});
    review.addPaths({homePath(QStringLiteral("linked"))});
    ASSERT_TRUE(finishes(review));
    ASSERT_EQ(modelOf(review).rowCount(), 4);
    EXPECT_EQ(column(modelOf(review), kNameCol), QStringList({"bravo", "Alpha", "charlie", "delta"}));
    EXPECT_EQ(modelOf(review).index(2, kTotalColumn).data().toString(), QStringLiteral("3000"));
    EXPECT_EQ(summaryOf(review),
              QStringLiteral("4 pilots: 1 fails the check, 0 with the total warning only, 0 did not load"));

    // So every pilot goes into the log once.
    tableOf(review).selectAll();
    button(review, "AddEntriesButton").click();
    EXPECT_EQ(logOf(windows).count(QLatin1Char('\n')), 4);
    EXPECT_EQ(child<QLabel>(review, "StatusLabel").text(), QStringLiteral("4 entries added to the main log"));
}
#endif

TEST_F(ReviewWindowTest, EnterOpensDeleteRemovesAndCopyGivesTheCommandLinesTsvRows)
{
    ProgramWindows windows = start();
    writeSquad();
    TReviewWindow& review = openReview(windows, {homePath(QStringLiteral("squad"))});
    QTableView& table = tableOf(review);
    tableOf(review).sortByColumn(kNameCol, Qt::AscendingOrder);  // "", Alpha, bravo, charlie

    // Ctrl+C: the rows chosen, in the order shown, as vantrel-cli table writes them.
    selectRows(review, {3, 1});
    QTest::keyClick(&table, Qt::Key_C, Qt::ControlModifier);
    QProcess cli;
    cli.start(QStringLiteral(VANTREL_CLI_PATH), {"table", shownPath(homePath(QStringLiteral("squad")))});
    ASSERT_TRUE(cli.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(cli.readAllStandardOutput()).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(QApplication::clipboard()->text(), lines[2] + QLatin1Char('\n') + lines[3] + QLatin1Char('\n'));

    // Enter: the open flow of the chosen pilot; a row that did not load opens nothing.
    selectRows(review, {0});
    table.setCurrentIndex(table.model()->index(0, kNameCol));
    QTest::keyClick(&table, Qt::Key_Return);
    EXPECT_TRUE(modal.shown.empty());
    table.setCurrentIndex(table.model()->index(1, kNameCol));
    selectRows(review, {1});
    QTest::keyClick(&table, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(modal.shown, std::vector<std::string>{"PltFileView"});
    EXPECT_EQ(windows.PltFileView->windowTitle(), shownPath(homePath(QStringLiteral("squad/b.plt"))));

    // Delete: the chosen rows go, and the summary with them.
    selectRows(review, {0, 2});
    QTest::keyClick(&table, Qt::Key_Delete);
    EXPECT_EQ(column(modelOf(review), kNameCol), QStringList({"Alpha", "charlie"}));
    EXPECT_EQ(summaryOf(review),
              QStringLiteral("2 pilots: 0 fail the check, 0 with the total warning only, 0 did not load"));
    // Removed rows come back when added again.
    review.addPaths({homePath(QStringLiteral("squad"))});
    ASSERT_TRUE(finishes(review));
    EXPECT_EQ(modelOf(review).rowCount(), 4);
}

TEST_F(ReviewWindowTest, TheCsvKeepsTheCommandLinesColumnsWithTheByteOrderMarkWhenAskedAndTheRowsShown)
{
    ProgramWindows windows = start();
    writeSquad();
    TReviewWindow& review = openReview(windows, {homePath(QStringLiteral("squad"))});
    child<QCheckBox>(review, "CsvBomBox").click();
    const QString csv = homePath(QStringLiteral("pilots.csv"));
    prompts.files.push_back(csv);
    button(review, "SaveCsvButton").click();
    QProcess cli;
    cli.start(QStringLiteral(VANTREL_CLI_PATH),
              {"table", "--format", "csv", "--bom", shownPath(homePath(QStringLiteral("squad")))});
    ASSERT_TRUE(cli.waitForFinished(30000));
    const QByteArray all = cli.readAllStandardOutput();
    EXPECT_TRUE(
        all.startsWith("\xEF\xBB\xBF"
                       "File,Pilot name,"));
    EXPECT_EQ(fileBytes(csv), all);

    // Only the marked rows shown: only they are saved, with every column.
    child<QCheckBox>(review, "CsvBomBox").click();
    child<QCheckBox>(review, "MarkedOnlyBox").click();
    prompts.files.push_back(csv);
    button(review, "SaveCsvButton").click();
    const QList<QByteArray> lines = all.mid(3).split('\n');
    EXPECT_EQ(fileBytes(csv), lines[0] + '\n' + lines[1] + '\n' + lines[4] + '\n');
}

TEST_F(ReviewWindowTest, RemembersItsPlaceAndColumnWidthsInItsOwnSectionAfterTheProgramsOwn)
{
    ProgramWindows windows = start();
    const QString file = QString::fromStdString(paths::settingsFile());
    const QByteArray before = fileBytes(file);
    ASSERT_TRUE(before.startsWith("[ZADAdeda]"));
    {
        TReviewWindow review(prompts, reviewHooks());
        review.setGeometry(40, 50, 700, 420);
        tableOf(review).setColumnWidth(kNameCol, 150);
        tableOf(review).setColumnWidth(PilotTableModel::kFolderColumn, 90);
        review.close();
    }
    const QByteArray after = fileBytes(file);
    // The program's section keeps its bytes; the window's own comes after it.
    ASSERT_TRUE(after.startsWith(before));
    const QByteArray added = after.mid(before.size());
    EXPECT_TRUE(added.startsWith("[ReviewWindow]\nLeft=40\nTop=50\nWidth=700\nHeight=420\nColumnWidths="))
        << added.data();

    TReviewWindow again(prompts, reviewHooks());
    EXPECT_EQ(again.geometry(), QRect(40, 50, 700, 420));
    EXPECT_EQ(tableOf(again).columnWidth(kNameCol), 150);
    EXPECT_EQ(tableOf(again).columnWidth(PilotTableModel::kFolderColumn), 90);
    // Closed again as it is: nothing to write.
    again.close();
    EXPECT_EQ(fileBytes(file), after);

    // Open when the program ends: kept as well.
    click(*windows.Form1, "ReviewButton");
    windows.ReviewWindow->setGeometry(60, 70, 640, 400);
    windows.Form1->close();
    EXPECT_NE(fileBytes(file).indexOf("[ReviewWindow]\nLeft=60\nTop=70\nWidth=640\nHeight=400\n"), -1)
        << fileBytes(file).constData();
}

TEST_F(ReviewWindowTest, OpensInsideTheScreenAtAnyScaleFactor)
{
    ProgramWindows windows = start();
    click(*windows.Form1, "ReviewButton");
    TReviewWindow& review = *windows.ReviewWindow;
    QCoreApplication::processEvents();
    const QRect available = review.screen()->availableGeometry();
    EXPECT_TRUE(available.contains(review.frameGeometry())) << available.width() << "x" << available.height();

    // Remembered somewhere a larger screen had room for.
    review.setGeometry(available.right() - 100, available.top() + 10, available.width() + 300, 300);
    review.hide();
    review.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(available.contains(review.frameGeometry()));
}

}  // namespace
}  // namespace vantrel::testing
