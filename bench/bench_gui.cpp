// Timings of the desktop program, printed (not a pass/fail test):
//   - start-up to the main window shown, with an empty and with a 10 MB main
//     log, and how the two compare;
//   - peak memory of the start-up with the 10 MB log;
//   - scrolling to the end of that log and appending one entry to it;
//   - appending one entry to a 100,000-line main log;
//   - loading a pilot into the pilot view with the full details report on.
// Runs headless unless QT_QPA_PLATFORM says otherwise, in a temporary home.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "SilentPrompts.h"
#include "gui/app/ProgramStart.h"
#include "gui/pilotview/PltFile.h"
#include "core/platform/PlatformPaths.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"
#include "gui/mainwindow/MainLogEdit.h"
#include "gui/mainwindow/MainUnit.h"
#include "gui/support/ProgramSettings.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

using vantrel::bench::SilentPrompts;

// A main log of typical entries, written in pieces: `lines` lines, or as
// many as make `bytes` bytes.
void writeLog(const std::string& path, std::size_t lines, std::size_t bytes = SIZE_MAX)
{
    std::ofstream out(path, std::ios::binary);
    char line[96];
    std::size_t written = 0;
    for (std::size_t i = 0; i < lines && written < bytes; ++i) {
        const int length = std::snprintf(line, sizeof line, "12.03.2024 Pilot_%06zu - Score: %zu (%zu+%zu)\r\n", i,
                                         59400 + i, 52520 + i, std::size_t{6880});
        out.write(line, std::min<std::size_t>(static_cast<std::size_t>(length), bytes - written));
        written += static_cast<std::size_t>(length);
    }
}

long peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long value = 0;
        if (key == "VmHWM:" && status >> value)
            return value;
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The main log of the main window.
MainLogEdit& mainLog(const TForm1& form)
{
    return *form.findChild<MainLogEdit*>(QStringLiteral("Memo1"), Qt::FindDirectChildrenOnly);
}

// Lines of the main log as the user sees them, wrapping aside.
int mainLogLines(const TForm1& form)
{
    return static_cast<int>(mainLog(form).logText().count(QLatin1Char('\n'))) + 1;
}

// Lets the events run until the whole log is in the window.
void untilLoaded(const TForm1& form)
{
    while (mainLog(form).isLoading())
        QCoreApplication::processEvents();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    vantrel::bench::useHome(home);

    const std::string bigLog = home.filePath(QStringLiteral("big.log")).toStdString();
    const std::string longLog = home.filePath(QStringLiteral("long.log")).toStdString();
    writeLog(bigLog, SIZE_MAX, 10 * 1024 * 1024);
    writeLog(longLog, 100000);
    const std::string emptyLog = home.filePath(QStringLiteral("empty.log")).toStdString();
    writeLog(emptyLog, 0);

    QApplication app(argc, argv);
    SilentPrompts prompts;

    // Start-up to the main window on screen, with an empty log and with the
    // 10 MB log, in turns; the first start-up of the run pays for what Qt sets
    // up once and is told apart.
    const auto startUp = [&](const std::string& logFile, bool keep) {
        vantrel::SettingsStore(vantrel::paths::settingsFile()).write(vantrel::keys::LogFile, logFile);
        const Clock::time_point start = Clock::now();
        auto windows = std::make_unique<ProgramWindows>(prompts, QStringList{QStringLiteral("vantrel")});
        windows->Form1->show();
        settle();
        const double time = millisecondsSince(start);
        if (!keep)
            windows.reset();
        return std::make_pair(time, std::move(windows));
    };
    std::printf("first start-up of the run, empty main log: %.1f ms\n", startUp(emptyLog, false).first);
    double bigPeakMiB = 0;
    int bigLogLines = 0;
    std::vector<double> emptyTimes;
    std::vector<double> bigTimes;
    std::vector<double> wholeLogTimes;
    for (int round = 0; round < 5; ++round) {
        emptyTimes.push_back(startUp(emptyLog, false).first);
        const Clock::time_point start = Clock::now();
        auto [time, windows] = startUp(bigLog, true);
        bigTimes.push_back(time);
        untilLoaded(*windows->Form1);
        wholeLogTimes.push_back(millisecondsSince(start));
        if (round == 0) {
            bigPeakMiB = peakResidentKiB() / 1024.0;
            bigLogLines = mainLogLines(*windows->Form1);
        }
    }
    const double emptyStartUp = median(emptyTimes);
    const double bigStartUp = median(bigTimes);
    std::printf("start-up with an empty main log: median %.1f ms\n", emptyStartUp);
    std::printf("start-up with a %.1f MB main log (%d lines): median %.1f ms, worst %.1f ms (target < 300 ms)\n",
                static_cast<double>(QFile(QString::fromStdString(bigLog)).size()) / (1024 * 1024), bigLogLines,
                bigStartUp, *std::max_element(bigTimes.begin(), bigTimes.end()));
    std::printf("  ratio to the empty start-up: %.2f (target <= 1.5)\n", bigStartUp / emptyStartUp);
    std::printf("  the whole log in the window, the events running meanwhile: median %.1f ms\n", median(wholeLogTimes));
    std::printf("peak memory after the first start-up with that log: %.1f MB (target < 100 MB)\n", bigPeakMiB);

    // Scrolling to the end of the 10 MB log and appending one entry to it.
    {
        auto windows = startUp(bigLog, true).second;
        TForm1& form = *windows->Form1;
        untilLoaded(form);
        std::vector<double> scrolls;
        for (int i = 0; i < 10; ++i) {
            mainLog(form).moveCursor(QTextCursor::Start);
            settle();
            const Clock::time_point start = Clock::now();
            mainLog(form).moveCursor(QTextCursor::End);
            mainLog(form).ensureCursorVisible();
            settle();
            scrolls.push_back(millisecondsSince(start));
        }
        std::printf("scroll to the end of the %d-line log: median %.2f ms, worst %.2f ms (target < 5 ms)\n",
                    mainLogLines(form), median(scrolls), *std::max_element(scrolls.begin(), scrolls.end()));
        std::vector<double> appends;
        for (int i = 0; i < 50; ++i) {
            const Clock::time_point start = Clock::now();
            form.appendLogLine(QStringLiteral("12.03.2024 Kestrel - Score: 59400 (52520+6880)"));
            settle();
            appends.push_back(millisecondsSince(start));
        }
        std::printf("append one entry to that log: median %.2f ms, worst %.2f ms (target < 5 ms)\n", median(appends),
                    *std::max_element(appends.begin(), appends.end()));
    }

    // One entry onto a 100,000-line log, shown.
    {
        vantrel::SettingsStore(vantrel::paths::settingsFile()).write(vantrel::keys::LogFile, longLog);
        ProgramWindows windows(prompts, {QStringLiteral("vantrel")});
        windows.Form1->show();
        settle();
        untilLoaded(*windows.Form1);
        std::vector<double> times;
        for (int i = 0; i < 50; ++i) {
            const Clock::time_point start = Clock::now();
            windows.Form1->appendLogLine(QStringLiteral("12.03.2024 Kestrel - Score: 59400 (52520+6880)"));
            settle();
            times.push_back(millisecondsSince(start));
        }
        std::printf("append one entry to a %d-line log: median %.2f ms, worst %.2f ms (target < 10 ms)\n", 100000,
                    median(times), *std::max_element(times.begin(), times.end()));
    }

    // A pilot into the pilot view, full details on.
    {
        vantrel::SettingsStore(vantrel::paths::settingsFile()).write(vantrel::keys::MegaDetails, "1");
        ProgramWindows windows(prompts, {QStringLiteral("vantrel")});
        TPltFileView& view = *windows.PltFileView;
        view.show();
        settle();
        std::vector<double> times;
        for (int i = 0; i < 30; ++i) {
            const Clock::time_point start = Clock::now();
            if (view.ReadMission(QStringLiteral(VANTREL_SAMPLE_PILOT)) != 0)
                return 1;
            settle();
            times.push_back(millisecondsSince(start));
        }
        std::printf(
            "load a pilot with the full details report (%d lines): median %.2f ms, worst %.2f ms "
            "(target < 50 ms)\n",
            view.findChild<QTextEdit*>(QStringLiteral("Memo1"))->document()->blockCount(), median(times),
            *std::max_element(times.begin(), times.end()));
    }
    return 0;
}
