// Timings of the desktop program, printed (not a pass/fail test):
//   - start-up to the main window shown, with a 10 MB main log;
//   - peak memory of that start-up;
//   - appending one entry to a 100,000-line main log;
//   - loading a pilot into the pilot view with the full details report on.
// Runs headless unless QT_QPA_PLATFORM says otherwise, in a temporary home.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "gui/PltFile.h"
#include "core/platform/PlatformPaths.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"
#include "gui/MainUnit.h"
#include "gui/ProgramSettings.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Nobody answers: the runs below ask nothing.
class SilentPrompts final : public vantrel::Prompts {
public:
    bool askYesNo(Kind, const QString& text, Default) override { return complain(text), false; }
    void tell(Kind, const QString& text, const QString&) override { complain(text); }
    std::optional<QString> chooseOpenFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QString> chooseSaveFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QStringList> chooseOpenFiles(const FileRequest&) override { return std::nullopt; }
    std::optional<QString> chooseFolder(const FileRequest&) override { return std::nullopt; }
    void openUrl(const QString&) override {}

private:
    static void complain(const QString& text) { std::fprintf(stderr, "unexpected prompt: %s\n", qPrintable(text)); }
};

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
    const QByteArray homePath = QFile::encodeName(home.path());
    ::setenv("HOME", homePath.constData(), 1);
    ::setenv("XDG_CONFIG_HOME", (homePath + "/.config").constData(), 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QDir(home.path()).mkpath(QStringLiteral(".config"));

    const std::string bigLog = home.filePath(QStringLiteral("big.log")).toStdString();
    const std::string longLog = home.filePath(QStringLiteral("long.log")).toStdString();
    writeLog(bigLog, SIZE_MAX, 10 * 1024 * 1024);
    writeLog(longLog, 100000);
    vantrel::SettingsStore(vantrel::paths::settingsFile()).write(vantrel::keys::LogFile, bigLog);

    QApplication app(argc, argv);
    SilentPrompts prompts;

    // Start-up with a 10 MB log, to the main window on screen.
    {
        const Clock::time_point start = Clock::now();
        ProgramWindows windows = startProgram(prompts, {QStringLiteral("vantrel")});
        windows.Form1->show();
        settle();
        const double startUp = millisecondsSince(start);
        std::printf("start-up with a %.1f MB main log: %.1f ms (target < 500 ms)\n",
                    static_cast<double>(QFile(QString::fromStdString(bigLog)).size()) / (1024 * 1024), startUp);
        std::printf("  main log lines: %d\n", windows.Form1->Memo1->blockCount());
        std::printf("peak memory after that start-up: %.1f MB (target < 150 MB)\n", peakResidentKiB() / 1024.0);
    }

    // One entry onto a 100,000-line log, shown.
    {
        vantrel::SettingsStore(vantrel::paths::settingsFile()).write(vantrel::keys::LogFile, longLog);
        ProgramWindows windows = startProgram(prompts, {QStringLiteral("vantrel")});
        windows.Form1->show();
        settle();
        std::vector<double> times;
        for (int i = 0; i < 50; ++i) {
            const Clock::time_point start = Clock::now();
            windows.Form1->appendLogLine(QStringLiteral("12.03.2024 Kestrel - Score: 59400 (52520+6880)"));
            settle();
            times.push_back(millisecondsSince(start));
        }
        std::printf("append one entry to a %d-line log: median %.2f ms, worst %.2f ms (target < 10 ms)\n",
                    100000, median(times), *std::max_element(times.begin(), times.end()));
    }

    // A pilot into the pilot view, full details on.
    {
        vantrel::SettingsStore(vantrel::paths::settingsFile()).write(vantrel::keys::MegaDetails, "1");
        ProgramWindows windows = startProgram(prompts, {QStringLiteral("vantrel")});
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
        std::printf("load a pilot with the full details report (%d lines): median %.2f ms, worst %.2f ms "
                    "(target < 50 ms)\n",
                    view.Memo1->document()->blockCount(), median(times),
                    *std::max_element(times.begin(), times.end()));
    }
    return 0;
}
