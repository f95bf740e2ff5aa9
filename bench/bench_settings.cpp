// Timings of the settings store on large settings files, printed (not a
// pass/fail test): the first read (the file read and parsed) with 40,000,
// 80,000 and 160,000 keys and with a 50 MB file, how the time grows with
// twice the keys, and one write (a key replaced, a key added) on each.
//
//   bench_settings                 every size above
//   bench_settings 80000 50MB      only the sizes named (keys, or MB of keys)
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The program's section with `keys` keys (or as many as fill `bytes`), CR LF
// line ends, every tenth key given a second time in another letter case
// further down (the first wins), and the program's own keys at the end.
std::size_t writeSettings(const std::string& path, std::size_t keys, std::size_t bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << "[ZADAdeda]\r\n";
    std::size_t written = 0;
    std::size_t count = 0;
    char line[128];
    for (; count < keys && written < bytes; ++count) {
        int length = 0;
        if (count % 10 == 9)
            length = std::snprintf(line, sizeof line, "KEY%07zu=again\r\n", count - 5);
        else
            length = std::snprintf(line, sizeof line, "Key%07zu=C:\\Pilots\\Pilot %zu.plt\r\n", count, count);
        out.write(line, length);
        written += static_cast<std::size_t>(length);
    }
    out << "LastDir=C:\\Pilots\r\nLogFile=c:\\VANTREL_MainLog.txt\r\n";
    return count + 2;
}

struct Figures {
    std::size_t keys = 0;
    double megabytes = 0;
    double firstRead = 0;
    double replace = 0;
    double add = 0;
};

Figures measure(const std::string& path, std::size_t keys, std::size_t bytes)
{
    Figures figures;
    figures.keys = writeSettings(path, keys, bytes);
    struct stat st {};
    ::stat(path.c_str(), &st);
    figures.megabytes = static_cast<double>(st.st_size) / (1024 * 1024);

    std::vector<double> reads;
    for (int i = 0; i < 5; ++i) {
        vantrel::SettingsStore store(path);
        const Clock::time_point start = Clock::now();
        const std::string value = store.read("LogFile", "");
        reads.push_back(millisecondsSince(start));
        if (value != "c:\\VANTREL_MainLog.txt" || store.read("key0000004", "") != "C:\\Pilots\\Pilot 4.plt") {
            std::fprintf(stderr, "wrong value read\n");
            std::exit(1);
        }
    }
    figures.firstRead = median(reads);

    // One write each on the file just read: what the settings dialog does.
    vantrel::SettingsStore store(path);
    store.read("LastDir", "");
    Clock::time_point start = Clock::now();
    store.write("LastDir", "D:\\Other\\Joe.plt");
    figures.replace = millisecondsSince(start);
    start = Clock::now();
    store.write("ShowMissionTotal", "1");
    figures.add = millisecondsSince(start);
    return figures;
}

void print(const Figures& figures)
{
    std::printf("%8zu keys, %6.1f MB: first read %9.2f ms; write replacing a key %8.2f ms, adding a key %8.2f ms\n",
                figures.keys, figures.megabytes, figures.firstRead, figures.replace, figures.add);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.emplace_back(argv[i]);
    if (sizes.empty())
        sizes = {"40000", "80000", "160000", "50MB"};

    char folder[] = "/tmp/bench_settings.XXXXXX";
    if (!::mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string path = std::string(folder) + "/vantrel.ini";

    std::vector<Figures> byKeys;
    for (const std::string& size : sizes) {
        Figures figures;
        if (size.ends_with("MB"))
            figures = measure(path, SIZE_MAX, std::stoul(size) * 1024 * 1024);
        else
            figures = measure(path, std::stoul(size), SIZE_MAX);
        print(figures);
        if (!size.ends_with("MB"))
            byKeys.push_back(figures);
    }
    for (std::size_t i = 1; i < byKeys.size(); ++i) {
        std::printf("%zu -> %zu keys: first read takes %.2f times as long (target <= 2.5)\n", byKeys[i - 1].keys,
                    byKeys[i].keys, byKeys[i].firstRead / byKeys[i - 1].firstRead);
    }
    for (const Figures& figures : byKeys) {
        if (figures.keys >= 80000 && figures.keys < 80100)
            std::printf("first read of %zu keys: %.2f ms (target < 50 ms)\n", figures.keys, figures.firstRead);
    }
    ::unlink(path.c_str());
    ::rmdir(folder);
    return 0;
}
