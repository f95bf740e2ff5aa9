// The review window over a squadron of 1,000 pilot files, printed (not a
// pass/fail test): how many rows per second reach the table, from the files
// being queued to the last row shown, and the longest time the window's
// event loop was held up meanwhile; once in the order of loading and once
// sorted by the campaign total while the rows stream in.
// Runs headless unless QT_QPA_PLATFORM says otherwise, in a temporary home.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "PilotImage.h"
#include "core/pilot/PilotLayout.h"
#include "core/reports/PilotTable.h"
#include "SilentPrompts.h"
#include "gui/review/PilotTableModel.h"
#include "gui/review/ReviewWindow.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPilots = 1000;

using vantrel::bench::SilentPrompts;

bool writeSquadron(const QString& folder)
{
    namespace L = vantrel::layout;
    for (int i = 0; i < kPilots; ++i) {
        vantrel::PilotImage pilot;
        pilot.setText(L::PilotName, "Pilot" + std::to_string(i));
        pilot.setInt(L::Rank, i % 9);
        const std::int32_t score = 20 * (50 + (i * 7919) % 2500);
        for (const auto& field : {L::TODScoreA, L::TODScoreB, L::TODScoreC, L::TODScoreD})
            pilot.setInt(field, score);
        if (i % 10 == 0)
            pilot.setInt(L::TODScoreB, score + 1);  // every tenth one marked
        for (std::uint32_t m = 0; m < 20; ++m)
            pilot.setMission(L::CampaignMissionRecords, m, {0, 1, score / 20, 600, 0});
        const QString path = QDir(folder).filePath(QStringLiteral("pilot%1.plt").arg(i, 4, 10, QLatin1Char('0')));
        if (!pilot.save(QFile::encodeName(path).toStdString()))
            return false;
    }
    return true;
}

void run(SilentPrompts& prompts, const QString& folder, const char* what, int sortColumn)
{
    TReviewWindow review(prompts, {});
    review.show();
    if (sortColumn >= 0)
        review.PilotTable->sortByColumn(sortColumn, Qt::DescendingOrder);
    // The window's first paint is not part of the loading.
    QElapsedTimer settling;
    settling.start();
    while (settling.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    // A timer that fires on every turn of the event loop: the longest gap
    // between two of its calls is the longest the window could not react.
    double longestStall = 0;
    Clock::time_point lastTurn = Clock::now();
    QTimer turns;
    turns.setInterval(0);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        longestStall = std::max(longestStall, std::chrono::duration<double, std::milli>(now - lastTurn).count());
        lastTurn = now;
    });

    const Clock::time_point start = Clock::now();
    bool done = false;
    QObject::connect(&review, &TReviewWindow::loadingFinished, [&] { done = true; });
    turns.start();
    lastTurn = Clock::now();
    review.addPaths({folder});
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    review.PilotTable->viewport()->repaint();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    turns.stop();
    std::printf("%s: %d rows in %.1f ms, %.0f rows shown per second; longest event-loop stall %.1f ms "
                "(target < 100 ms); %d marked\n",
                what, review.model().rowCount(), seconds * 1000, review.model().rowCount() / seconds, longestStall,
                review.model().markedCount());
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    vantrel::bench::useHome(home);
    const QString folder = home.filePath(QStringLiteral("squadron"));
    QDir(home.path()).mkpath(QStringLiteral("squadron"));
    if (!writeSquadron(folder))
        return 1;

    QApplication app(argc, argv);
    SilentPrompts prompts;
    std::ifstream loadAverage("/proc/loadavg");
    std::string load;
    loadAverage >> load;
    std::printf("review window over %d pilot files (machine load average %s):\n", kPilots, load.c_str());
    run(prompts, folder, "  in the order of loading", -1);
    run(prompts, folder, "  sorted by campaign total", PilotTableModel::tableColumn(vantrel::kCampaignTotalColumn));
    return 0;
}
