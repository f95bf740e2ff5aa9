// The review window's Charts and "Restore a backup..." buttons: one chosen
// pilot's charts or the squadron's as the table shows it (its sort and its
// filter), and a restore whose row then shows the restored file.
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QCheckBox>
#include <QTableView>
#include <QThread>

#include <chrono>
#include <filesystem>

#include "ChartPaintCheck.h"
#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "core/charts/PilotCharts.h"
#include "core/charts/SquadronChart.h"
#include "core/pilot/PilotBackup.h"
#include "gui/charts/ChartWindow.h"
#include "gui/history/RestoreDialog.h"
#include "gui/review/PilotTableModel.h"
#include "gui/review/ReviewWindow.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kNameCol = PilotTableModel::kPilotNameColumn;
constexpr int kTotalCol = PilotTableModel::kCampaignTotalColumn;

// The window's table and its rows, found by name as a user finds them by sight.
QTableView& tableOf(TReviewWindow& review)
{
    return control<QTableView>(review, "PilotTable");
}
PilotTableModel& modelOf(TReviewWindow& review)
{
    return *review.findChild<PilotTableModel*>(QStringLiteral("PilotTableModel"));
}

class ReviewChartsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        data_.emplace(kDataHomeVariable, corePath(homePath(QStringLiteral(".local/share"))).c_str());
    }

    // A pilot named `name` whose one mission and every TOD score copy hold `score`.
    // With `copyB` set, copy B disagrees: the check fails.
    QString namedPilot(const QString& file, const char* name, std::int32_t score, std::int32_t copyB = -1) const
    {
        return writePilot(file, {}, [name, score, copyB](PilotImage& image) {
            image.setText(layout::PilotName, name);
            for (const auto& field : {layout::TODScoreA, layout::TODScoreB, layout::TODScoreC, layout::TODScoreD})
                image.setInt(field, score);
            if (copyB >= 0)
                image.setInt(layout::TODScoreB, copyB);
            PilotImage::Mission mission;
            mission.score = score;
            image.setMission(layout::CampaignMissionRecords, 0, mission);
        });
    }

    static void loadAll(TReviewWindow& review, const QStringList& paths)
    {
        review.addPaths(paths);
        QElapsedTimer clock;
        clock.start();
        while (review.isLoading() && clock.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(1);
        }
        QCoreApplication::processEvents();
        ASSERT_FALSE(review.isLoading());
    }

    static QPushButton* control(TReviewWindow& review, const char* name)
    {
        return review.findChild<QPushButton*>(QString::fromLatin1(name));
    }

    // Clicks Charts and takes the window it opened.
    static TChartWindow* openCharts(TReviewWindow& review)
    {
        const QList<TChartWindow*> before = review.findChildren<TChartWindow*>();
        QPushButton* charts = control(review, "ChartsButton");
        EXPECT_TRUE(charts != nullptr && charts->isEnabled());
        if (charts == nullptr)
            return nullptr;
        charts->click();
        for (TChartWindow* window : review.findChildren<TChartWindow*>()) {
            if (!before.contains(window) && window->isVisible())
                return window;
        }
        ADD_FAILURE() << "no chart window opened";
        return nullptr;
    }

    // The model's row of the pilot named `name`.
    static int rowOf(const PilotTableModel& model, const QString& name)
    {
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.index(row, kNameCol).data().toString() == name)
                return row;
        }
        ADD_FAILURE() << "no row " << name.toStdString();
        return 0;
    }

    static std::vector<PilotTableEntry> entries(const PilotTableModel& model, const QStringList& names)
    {
        std::vector<PilotTableEntry> chosen;
        for (const QString& name : names)
            chosen.push_back(model.pilot(rowOf(model, name)).entry);
        return chosen;
    }

    static void selectRows(TReviewWindow& review, const std::vector<int>& viewRows)
    {
        tableOf(review).clearSelection();
        for (int row : viewRows)
            tableOf(review).selectionModel()->select(tableOf(review).model()->index(row, 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // A squad of four pilots (totals rising from Delta to Bravo; Charlie fails
    // the check) and a file cut short.
    QStringList writeSquad() const
    {
        QDir(homePath()).mkpath(QStringLiteral("squad"));
        QFile cut(homePath(QStringLiteral("squad/e.plt")));
        EXPECT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(QByteArray(1000, '\0'));
        cut.close();
        return {namedPilot(QStringLiteral("squad/a.plt"), "Alpha", 3000),
                namedPilot(QStringLiteral("squad/b.plt"), "Bravo", 9000),
                namedPilot(QStringLiteral("squad/c.plt"), "Charlie", 5000, 4000),
                namedPilot(QStringLiteral("squad/d.plt"), "Delta", 1000), homePath(QStringLiteral("squad/e.plt"))};
    }

    std::optional<ScopedEnv> data_;
};

TEST_F(ReviewChartsTest, TheSquadronChartFollowsTheTablesSortAndFilter)
{
    TReviewWindow review(prompts, reviewHooks());
    loadAll(review, writeSquad());
    PilotTableModel& model = modelOf(review);
    ASSERT_EQ(model.rowCount(), 5);
    const auto chart = [&](const QStringList& names, charts::RowOrder order) {
        std::vector<PilotTableEntry> shown = entries(model, names);
        shown.push_back(model.pilot(rowOf(model, QString())).entry);  // the file that did not load
        return charts::renderSvg(charts::squadronChart(shown, kCampaignTotalColumn, order));
    };

    // In the order of loading the chart is drawn largest first, as vantrel-cli draws it.
    TChartWindow* window = openCharts(review);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Squadron chart"));
    EXPECT_EQ(window->svg(), chart({"Bravo", "Charlie", "Alpha", "Delta"}, charts::RowOrder::LargestFirst));
    expectBarsPainted(shownImage(vantrel::testing::control<QWidget>(*window, "ChartView")), *window->drawing());
    window->close();

    // Sorted by name, last first: the chart keeps the table's order.
    tableOf(review).sortByColumn(kNameCol, Qt::DescendingOrder);
    window = openCharts(review);
    ASSERT_NE(window, nullptr);
    const std::vector<PilotTableEntry> nameOrder = entries(model, {"Delta", "Charlie", "Bravo", "Alpha", ""});
    EXPECT_EQ(window->svg(),
              charts::renderSvg(charts::squadronChart(nameOrder, kCampaignTotalColumn, charts::RowOrder::AsGiven)));
    window->close();

    // Filtered: only the rows the table shows, in its order.
    vantrel::testing::control<QCheckBox>(review, "MarkedOnlyBox").click();
    tableOf(review).sortByColumn(kTotalCol, Qt::DescendingOrder);
    ASSERT_EQ(tableOf(review).model()->rowCount(), 2);
    window = openCharts(review);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->svg(), charts::renderSvg(charts::squadronChart(entries(model, {"Charlie", ""}),
                                                                     kCampaignTotalColumn, charts::RowOrder::AsGiven)));
    // Two rows chosen: still the squadron as shown.
    selectRows(review, {0, 1});
    TChartWindow* again = openCharts(review);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->svg(), window->svg());
    again->close();
    window->close();
}

TEST_F(ReviewChartsTest, OneChosenPilotGetsItsOwnCharts)
{
    TReviewWindow review(prompts, reviewHooks());
    loadAll(review, writeSquad());
    PilotTableModel& model = modelOf(review);
    const int charlie = rowOf(model, QStringLiteral("Charlie"));
    selectRows(review, {charlie});
    TChartWindow* window = openCharts(review);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Charts of Charlie"));
    EXPECT_EQ(window->svg(), charts::renderSvg(charts::missionsChart(*model.pilot(charlie).record)));
    expectBarsPainted(shownImage(vantrel::testing::control<QWidget>(*window, "ChartView")), *window->drawing());
    window->close();

    // A chosen file that did not load has no charts of its own.
    selectRows(review, {rowOf(model, QString())});
    window = openCharts(review);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Squadron chart"));
    window->close();
    EXPECT_EQ(prompts.log, std::vector<std::string>{});
}

TEST_F(ReviewChartsTest, ARestoreFromTheWindowShowsTheRestoredFileInItsRow)
{
    TReviewWindow review(prompts, reviewHooks());
    const QStringList squad = writeSquad();
    loadAll(review, squad);
    PilotTableModel& model = modelOf(review);
    ASSERT_EQ(model.count(PilotMark::NotLoaded), 1);
    QPushButton* restore = control(review, "RestoreBackupButton");
    ASSERT_NE(restore, nullptr);
    EXPECT_FALSE(restore->isEnabled());
    selectRows(review, {0, 1});
    EXPECT_FALSE(restore->isEnabled());

    // The file cut short is put back from a backup of a pilot with one mission.
    const std::string damaged = corePath(squad[4]);
    const std::string folder = paths::backupDirectory();
    fs::create_directories(folder);
    const std::string backup = folder + "/e." + backupOwnerTag(damaged) + ".20261120-183000.plt";
    writeFile(backup, fileBytes(namedPilot(QStringLiteral("one.plt"), "Echo", 700)).toStdString());
    fs::last_write_time(fs::path(damaged), fs::file_time_type::clock::now() - std::chrono::hours(1));

    selectRows(review, {rowOf(model, QString())});
    ASSERT_TRUE(restore->isEnabled());
    restore->click();
    auto* dialog = review.findChild<TRestoreDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    prompts.answers.push_back(true);
    dialog->findChild<QPushButton*>(QStringLiteral("RestoreButton"))->click();
    QCoreApplication::processEvents();

    EXPECT_EQ(readFile(damaged), readFile(backup));
    EXPECT_EQ(model.count(PilotMark::NotLoaded), 0);
    const int echo = rowOf(model, QStringLiteral("Echo"));
    EXPECT_EQ(model.filePath(echo), shownPath(squad[4]));
    EXPECT_EQ(model.index(echo, kTotalCol).data().toString(), QStringLiteral("700"));
    EXPECT_TRUE(model.pilot(echo).record != nullptr);
    ASSERT_EQ(prompts.log.size(), 2u);
    EXPECT_EQ(prompts.log[1].rfind("Information: Restored " + damaged, 0), 0u) << prompts.log[1];
}

// A window given no way to open charts or restore backups offers neither.
TEST_F(ReviewChartsTest, WithoutTheirHooksChartsAndRestoreAreNotShownAndAClickDoesNothing)
{
    TReviewWindow review(prompts, {});
    review.show();
    loadAll(review, writeSquad());
    selectRows(review, {0});
    for (const char* name : {"ChartsButton", "RestoreBackupButton"}) {
        QPushButton* button = control(review, name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_FALSE(button->isVisible()) << name;
        button->click();
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(review.findChildren<TChartWindow*>().isEmpty());
    EXPECT_EQ(review.findChild<TRestoreDialog*>(), nullptr);
    EXPECT_EQ(prompts.log, std::vector<std::string>{});
    EXPECT_TRUE(review.isVisible());
}

}  // namespace
}  // namespace vantrel::testing
