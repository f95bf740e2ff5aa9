// The review window: the main window's button, loading files and folders off
// the window's thread (files that do not load, FIFOs, Cancel), sorting,
// marks, the entries it adds to the main log, the CSV it saves and the open
// flow of a double-click.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QThread>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "core/mainlog/MainLogFile.h"
#include "core/pilot/PilotLoader.h"
#include "core/settings/SettingsKeys.h"
#include "gui/mainwindow/MainLogEdit.h"
#include "gui/review/PilotTableModel.h"
#include "gui/pilotview/PltFile.h"
#include "gui/review/ReviewWindow.h"

namespace vantrel::testing {
namespace {

namespace L = vantrel::layout;

constexpr int kTotalColumn = PilotTableModel::tableColumn(kCampaignTotalColumn);
constexpr int kNameCol = PilotTableModel::tableColumn(kNameColumn);
constexpr int kRankCol = PilotTableModel::tableColumn(kRankColumn);
constexpr int kFileCol = PilotTableModel::tableColumn(kFileColumn);

struct Pilot {
    std::string name;
    std::int32_t score = 0;  // every TOD copy, and the one mission's score
    std::int32_t rank = 0;
    std::int32_t todScoreB = -1;  // another copy B when not -1: a check error
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
        review.PilotTable->clearSelection();
        for (int row : rows)
            review.PilotTable->selectionModel()->select(review.model().index(row, 0),
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
    PilotTableModel& model = review.model();
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(column(model, kNameCol), QStringList({"bravo", "Alpha", "charlie", ""}));

    // Alpha is selected and stays so through every sort.
    selectRows(review, {1});
    const auto selectedName = [&] {
        const QModelIndexList rows = review.PilotTable->selectionModel()->selectedRows(kNameCol);
        return rows.size() == 1 ? rows.first().data().toString() : QStringLiteral("<none>");
    };

    // As text "10000" would come before "2500" and "900".
    review.PilotTable->sortByColumn(kTotalColumn, Qt::AscendingOrder);
    EXPECT_EQ(column(model, kTotalColumn), QStringList({"", "900", "2500", "10000"}));
    EXPECT_EQ(selectedName(), QStringLiteral("Alpha"));
    review.PilotTable->sortByColumn(kTotalColumn, Qt::DescendingOrder);
    EXPECT_EQ(column(model, kTotalColumn), QStringList({"10000", "2500", "900", ""}));

    review.PilotTable->sortByColumn(kNameCol, Qt::AscendingOrder);
    EXPECT_EQ(column(model, kNameCol), QStringList({"", "Alpha", "bravo", "charlie"}));
    EXPECT_EQ(selectedName(), QStringLiteral("Alpha"));

    // Recruit, Captain, General: the game's order, not the alphabet's.
    review.PilotTable->sortByColumn(kRankCol, Qt::AscendingOrder);
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
    PilotTableModel& model = review.model();
    ASSERT_EQ(model.rowCount(), 5);

    EXPECT_EQ(column(model, PilotTableModel::kMarkColumn), QStringList({"", "!", "!", "!", "X"}));
    QStringList described;
    for (int row = 0; row < 5; ++row)
        described << model.index(row, PilotTableModel::kMarkColumn).data(Qt::AccessibleTextRole).toString();
    EXPECT_EQ(described, QStringList({"Check passed", "Marked: 1 integrity error(s)", "Marked: score total warning",
                                      "Marked: 1 other copy(ies) differ\nTOD kills, TIE Interceptor: list A 81, list B 41",
                                      "Not loaded: " + truncatedError()}));
    // The other copies' count is the table's last column.
    EXPECT_EQ(model.index(3, PilotTableModel::tableColumn(kOtherCopiesColumn)).data().toString(), QStringLiteral("1"));
    // The whole row is coloured, each kind its own way.
    const auto background = [&](int row, int col) { return model.index(row, col).data(Qt::BackgroundRole); };
    EXPECT_FALSE(background(0, kNameCol).isValid());
    EXPECT_TRUE(background(1, kNameCol).isValid());
    EXPECT_EQ(background(1, kTotalColumn), background(2, kNameCol));
    EXPECT_TRUE(background(4, kFileCol).isValid());
    EXPECT_NE(background(4, kFileCol), background(1, kFileCol));
    EXPECT_EQ(model.markedCount(), 3);
    EXPECT_EQ(model.failedCount(), 1);
    EXPECT_EQ(review.StatusLabel->text(), QStringLiteral("5 file(s): 3 marked, 1 not loaded"));
    EXPECT_EQ(review.LoadProgress->text(), QStringLiteral("5 of 5 files"));

    // Marked first when sorted by the mark, the failed row before them.
    review.PilotTable->sortByColumn(PilotTableModel::kMarkColumn, Qt::DescendingOrder);
    EXPECT_EQ(column(model, kNameCol), QStringList({"", "Copies", "Total", "Lists", "Clean"}));
}

TEST_F(ReviewWindowTest, FilesThatDoNotLoadGetARowWithTheirErrorAndNeverHang)
{
    ProgramWindows windows = start();
    const QString folder = homePath(QStringLiteral("mixed"));
    QDir(homePath()).mkpath(QStringLiteral("mixed/inner.plt"));
    writeReviewPilot(QStringLiteral("mixed/inner.plt/deep.plt"), {"Deep", 10});
    writeTruncated(QStringLiteral("mixed/cut.plt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("/pipe.plt")).constData(), 0600), 0);
    ASSERT_EQ(::symlink("nowhere.plt", QFile::encodeName(folder + QStringLiteral("/gone.plt")).constData()), 0);
    const QString fifoGiven = homePath(QStringLiteral("given.plt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifoGiven).constData(), 0600), 0);

    click(*windows.Form1, "ReviewButton");
    TReviewWindow& review = *windows.ReviewWindow;
    review.addPaths({folder, fifoGiven, homePath(QStringLiteral("missing.plt"))});
    ASSERT_TRUE(finishes(review)) << "a FIFO or a broken link held up loading";

    PilotTableModel& model = review.model();
    QStringList files;
    for (int row = 0; row < model.rowCount(); ++row)
        files << QFileInfo(model.filePath(row)).fileName();
    // The folder named like a pilot file is searched, not loaded.
    EXPECT_EQ(files, QStringList({"cut.plt", "gone.plt", "deep.plt", "pipe.plt", "given.plt", "missing.plt"}));
    for (int row = 0; row < model.rowCount(); ++row) {
        SCOPED_TRACE(files[row].toStdString());
        const bool loaded = files[row] == QStringLiteral("deep.plt");
        EXPECT_EQ(model.pilot(row).entry.loaded, loaded);
        const QString error = model.index(row, PilotTableModel::tableColumn(kLoadErrorColumn)).data().toString();
        EXPECT_EQ(error.isEmpty(), loaded);
        EXPECT_EQ(model.index(row, PilotTableModel::kMarkColumn).data().toString(),
                  loaded ? QString() : QStringLiteral("X"));
    }
    EXPECT_EQ(model.index(0, PilotTableModel::tableColumn(kLoadErrorColumn)).data().toString(),
              truncatedError());
    // A file that cannot be opened shows why, as the command line's table does.
    QStringList causes;
    for (int row : {1, 3, 4, 5})
        causes << model.index(row, PilotTableModel::tableColumn(kLoadErrorColumn)).data().toString();
    EXPECT_EQ(causes, QStringList({"a link to a missing file", "is not a regular file", "is not a regular file",
                                   "no such file"}));
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(ReviewWindowTest, AddEntriesAppendsTheSelectedRowsEntriesInTheOrderShown)
{
    setSetting(keys::LogFile, homePath(QStringLiteral("main.log")).toStdString());
    writeBytes(homePath(QStringLiteral("main.log")), "typed by hand");
    ProgramWindows windows = start();
    writeSquad();
    TReviewWindow& review = openReview(windows, {homePath(QStringLiteral("squad"))});
    EXPECT_FALSE(review.AddEntriesButton->isEnabled());

    // Only the broken file chosen: there is no entry to add.
    selectRows(review, {3});
    EXPECT_FALSE(review.AddEntriesButton->isEnabled());

    review.PilotTable->sortByColumn(kNameCol, Qt::DescendingOrder);
    // Chosen in another order than shown, the broken file among them.
    selectRows(review, {3, 0, 2, 1});
    ASSERT_TRUE(review.AddEntriesButton->isEnabled());
    review.AddEntriesButton->click();
    EXPECT_EQ(logOf(windows), QStringLiteral("typed by hand\n"
                                             "charlie - Score: 2500 (2500+0)\n"
                                             "! bravo - Score: 900 (900+0) ! Errors in file!\n"
                                             "Alpha - Score: 10000 (10000+0)"));
    EXPECT_TRUE(windows.Form1->isLogModified());

    // The settings as they are now: without the check there is no mark.
    setSetting(keys::CheckCheat, "0");
    control<MainLogEdit>(*windows.Form1, "Memo1").clear();
    selectRows(review, {1});
    review.AddEntriesButton->click();
    EXPECT_EQ(logOf(windows), QStringLiteral("bravo - Score: 900 (900+0)\n"));

    // A setting that is no number stops them all.
    setSetting(keys::ScoreFormat, "x");
    selectRows(review, {0, 1});
    review.AddEntriesButton->click();
    EXPECT_EQ(logOf(windows), QStringLiteral("bravo - Score: 900 (900+0)\n"));
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Error: 'x' is not a valid integer value."});
}

TEST_F(ReviewWindowTest, SavesTheCsvTableInTheOrderShownAsTheCommandLineWritesIt)
{
    ProgramWindows windows = start();
    QStringList paths = writeSquad();
    paths << writeReviewPilot(QStringLiteral("squad/e.plt"), {"Ace \"Red\",2", 700, 2});
    TReviewWindow& review = openReview(windows, {homePath(QStringLiteral("squad"))});
    ASSERT_EQ(review.model().rowCount(), 5);

    const QString csv = homePath(QStringLiteral("pilots.csv"));
    prompts.files.push_back(csv);
    review.SaveCsvButton->click();
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_TRUE(prompts.saveRequests.front().confirmOverwrite);
    const QByteArray saved = fileBytes(csv);

    QProcess cli;
    cli.start(QStringLiteral(VANTREL_CLI_PATH), {"table", "--format", "csv", homePath(QStringLiteral("squad"))});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(saved, cli.readAllStandardOutput());
    EXPECT_TRUE(saved.startsWith("File,Pilot name,Rank,"));
    EXPECT_TRUE(saved.contains(",\"Ace \"\"Red\"\",2\",Flight Officer,"));
    EXPECT_EQ(saved.count("\r\n"), 6);
    EXPECT_EQ(saved.count('\n'), 6);

    // In the order shown, the file replaced as a whole.
    review.PilotTable->sortByColumn(kTotalColumn, Qt::DescendingOrder);
    prompts.files.push_back(csv);
    review.SaveCsvButton->click();
    const QList<QByteArray> lines = fileBytes(csv).split('\n');
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[1].startsWith(paths[1].toUtf8() + ",Alpha,"));
    EXPECT_TRUE(lines[5].startsWith(paths[3].toUtf8() + ",,"));
    EXPECT_TRUE(lines[6].isEmpty());
    EXPECT_EQ(prompts.log.size(), 2u);
}

TEST_F(ReviewWindowTest, ACsvSaveThatFailsIsToldWithTheFileAndItsCause)
{
    ProgramWindows windows = start();
    TReviewWindow& review = openReview(windows, {writeReviewPilot(QStringLiteral("a.plt"), {"Able", 10})});
    const QString target = homePath(QStringLiteral("missing/pilots.csv"));
    prompts.files.push_back(target);
    review.SaveCsvButton->click();
    EXPECT_EQ(prompts.log.back(), "Error: Cannot create file " + target.toStdString() + ".");
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
    review.SaveCsvButton->click();
    EXPECT_EQ(prompts.log, std::vector<std::string>{"save: " + target.toStdString()});
}

TEST_F(ReviewWindowTest, CancelStopsLoadingAndTheWindowLoadsAgainAfterIt)
{
    QDir(homePath()).mkpath(QStringLiteral("many"));
    for (int i = 0; i < 40; ++i)
        writeReviewPilot(QStringLiteral("many/p%1.plt").arg(i, 2, 10, QLatin1Char('0')), {"P", i});
    GatedFileAccess files(3);
    TReviewWindow review(prompts, {}, nullptr, files);
    bool cancelledSeen = false;
    QObject::connect(&review, &TReviewWindow::loadingFinished, [&] { cancelledSeen = true; });
    review.addPaths({homePath(QStringLiteral("many"))});
    EXPECT_TRUE(review.isLoading());
    EXPECT_TRUE(review.CancelButton->isEnabled());

    QElapsedTimer clock;
    clock.start();
    while (!files.waiting && clock.elapsed() < 10000)
        QThread::msleep(1);
    ASSERT_TRUE(files.waiting);
    review.CancelButton->click();
    EXPECT_TRUE(cancelledSeen);
    EXPECT_FALSE(review.isLoading());
    EXPECT_FALSE(review.CancelButton->isEnabled());
    files.release();

    // Nothing more arrives, and no further file is read.
    clock.restart();
    while (clock.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_LE(review.model().rowCount(), 2);
    EXPECT_EQ(files.opens, 3);
    EXPECT_TRUE(review.StatusLabel->text().startsWith(QStringLiteral("Loading cancelled.")));

    review.addPaths({homePath(QStringLiteral("many/p39.plt"))});
    ASSERT_TRUE(finishes(review));
    EXPECT_EQ(review.model().filePath(review.model().rowCount() - 1), homePath(QStringLiteral("many/p39.plt")));
}

TEST_F(ReviewWindowTest, ADoubleClickRunsTheOpenFlowForALoadedRowOnly)
{
    ProgramWindows windows = start();
    TReviewWindow& review =
        openReview(windows, {samplePilot(), writeTruncated(QStringLiteral("broken.plt"))});
    ASSERT_EQ(review.model().rowCount(), 2);

    emit review.PilotTable->doubleClicked(review.model().index(1, kNameCol));
    EXPECT_TRUE(modal.shown.empty());
    EXPECT_TRUE(prompts.log.empty());

    emit review.PilotTable->doubleClicked(review.model().index(0, kNameCol));
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
    EXPECT_EQ(review.model().rowCount(), 0);
    EXPECT_EQ(review.LoadProgress->text(), QStringLiteral("0 of 0 files"));
    EXPECT_EQ(review.LoadProgress->value(), review.LoadProgress->maximum());

    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(homePath(QStringLiteral("squad"))), QUrl::fromLocalFile(single),
                     QUrl(QStringLiteral("https://example.invalid/x.plt"))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&review, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&review, &drop);
    ASSERT_TRUE(finishes(review));
    EXPECT_EQ(column(review.model(), kNameCol), QStringList({"bravo", "Alpha", "charlie", "", "Single"}));

    review.ClearButton->click();
    EXPECT_EQ(review.model().rowCount(), 0);

    setSetting(keys::LastDir, homePath(QStringLiteral("squad/b.plt")).toStdString());
    prompts.fileLists.push_back(QStringList{single});
    review.AddFilesButton->click();
    prompts.files.push_back(homePath(QStringLiteral("squad")));
    review.AddFolderButton->click();
    ASSERT_TRUE(finishes(review));
    EXPECT_EQ(column(review.model(), kNameCol), QStringList({"Single", "bravo", "Alpha", "charlie", ""}));
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
    ASSERT_EQ(review.model().rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_TRUE(review.model().pilot(row).entry.loaded) << row;

    QProcess cli;
    cli.start(QStringLiteral(VANTREL_CLI_PATH), QStringList{"table", "--format", "csv"} + paths);
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(QByteArray::fromStdString(review.model().tableText(TableFormat::Csv)), cli.readAllStandardOutput());
}

}  // namespace
}  // namespace vantrel::testing
