// The review window over a squadron of 10,000 pilot files (1,000 with
// --pilots 1000), printed (not a pass/fail test): the time from the files
// being queued to the last row shown (target under 0.5 s) and the longest
// time the window's event loop was held up meanwhile (target under 50 ms);
// in the order of loading, sorted by the campaign total while the rows stream
// in, and with only the marked rows shown. Beside it, in the same run over
// the same files, vantrel-cli table (best of three).
// Runs headless unless QT_QPA_PLATFORM says otherwise, in a temporary home.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QCheckBox>
#include <QProcess>
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
int kPilots = 10000;

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

void run(SilentPrompts& prompts, const QString& folder, const char* what, int sortColumn, bool markedOnly = false)
{
    TReviewWindow review(prompts, {});
    review.show();
    auto& table = *review.findChild<QTableView*>(QStringLiteral("PilotTable"));
    auto& model = *review.findChild<PilotTableModel*>(QStringLiteral("PilotTableModel"));
    if (sortColumn >= 0)
        table.sortByColumn(sortColumn, Qt::DescendingOrder);
    if (markedOnly)
        review.findChild<QCheckBox*>(QStringLiteral("MarkedOnlyBox"))->click();
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
    table.viewport()->repaint();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    turns.stop();
    std::printf(
        "%s: %d rows (%d shown) in %.1f ms (target < 500 ms), %.0f rows per second; longest event-loop "
        "stall %.1f ms (target < 50 ms); %s\n",
        what, model.rowCount(), table.model()->rowCount(), seconds * 1000, model.rowCount() / seconds, longestStall,
        model.summary().toUtf8().constData());
}

// vantrel-cli table over the same folder, as a squadron leader runs it.
void runCli(const QString& folder)
{
    double best = 1e9;
    qint64 bytes = 0;
    for (int k = 0; k < 3; ++k) {
        QProcess cli;
        const Clock::time_point start = Clock::now();
        cli.start(QStringLiteral(VANTREL_CLI_PATH), {QStringLiteral("table"), folder});
        if (!cli.waitForFinished(120000))
            return;
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
        bytes = cli.readAllStandardOutput().size();
    }
    std::printf("  vantrel-cli table over the same files: %.1f ms (best of 3), %lld bytes of TSV\n", best * 1000,
                static_cast<long long>(bytes));
}

}  // namespace

int main(int argc, char** argv)
{
    for (int k = 1; k + 1 < argc; ++k)
        if (std::string(argv[k]) == "--pilots")
            kPilots = std::max(1, std::atoi(argv[k + 1]));
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
    // The files in the page cache, as after any first look at them.
    runCli(folder);
    run(prompts, folder, "  in the order of loading", -1);
    run(prompts, folder, "  sorted by campaign total", PilotTableModel::kCampaignTotalColumn);
    run(prompts, folder, "  only the marked rows shown", -1, true);
    runCli(folder);
    return 0;
}
