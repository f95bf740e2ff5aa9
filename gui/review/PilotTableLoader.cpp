#include "gui/review/PilotTableLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <unordered_map>

#include "core/platform/PilotFileSearch.h"
#include "core/platform/Process.h"
#include "gui/support/CorePath.h"

namespace {

// Which file a path leads to: its path with every link followed, "." and ".."
// resolved, from the root; for a path that leads to no file (a broken link,
// a missing file), the path itself made whole. The folders' own canonical
// paths are looked up once each (`folders`), as a search yields many files
// of one folder.
std::string fileKey(const std::string& path, std::unordered_map<QString, QString>& folders)
{
    const QFileInfo file(vantrel::fromCorePath(path));
    QString canonical;
    if (file.isSymLink()) {
        canonical = file.canonicalFilePath();
    } else {
        const QString folder = file.absolutePath();
        auto known = folders.find(folder);
        if (known == folders.end())
            known = folders.emplace(folder, QFileInfo(folder).canonicalFilePath()).first;
        if (!known->second.isEmpty() && file.exists())
            canonical = known->second + QLatin1Char('/') + file.fileName();
    }
    return vantrel::corePath(canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical);
}

}  // namespace

using vantrel::PilotTableEntry;

ReviewedPilot loadReviewedPilot(const std::string& path, vantrel::FileAccess& files)
{
    auto record = std::make_shared<vantrel::PilotRecord>();
    ReviewedPilot pilot;
    pilot.entry = vantrel::pilotTableEntry(path, *record, files);
    if (pilot.entry.loaded)
        pilot.record = std::move(record);
    return pilot;
}

PilotTableLoader::PilotTableLoader(vantrel::FileAccess& files, QObject* parent) : QObject(parent), files_(files)
{
    worker_ = std::thread([this] { run(); });
}

PilotTableLoader::~PilotTableLoader()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        queue_.clear();
        ++generation_;
    }
    wake_.notify_all();
    worker_.join();
}

void PilotTableLoader::add(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    if (outstanding_ == 0) {
        found_ = 0;
        loaded_ = 0;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const QString& path : paths)
            queue_.push_back({vantrel::corePath(path), generation_.load()});
    }
    outstanding_ += static_cast<int>(paths.size());
    wake_.notify_one();
    emit progressChanged();
}

void PilotTableLoader::cancel()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        queue_.clear();
        ready_.clear();
        ++generation_;
        drainPosted_ = false;  // the drain on its way carries the old generation
    }
    if (outstanding_ == 0)
        return;
    outstanding_ = 0;
    emit finished(true);
}

template <class Body>
void PilotTableLoader::post(std::uint64_t generation, Body body)
{
    // Queued to this object: a loader that is gone takes its calls with it.
    QMetaObject::invokeMethod(
        this,
        [this, generation, body = std::move(body)]() mutable {
            if (!stale(generation))
                body();
        },
        Qt::QueuedConnection);
}

void PilotTableLoader::deliver(std::uint64_t generation, ReviewBatch&& rows)
{
    bool postDrain = false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stale(generation))
            return;
        ready_.insert(ready_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
        postDrain = !drainPosted_;
        drainPosted_ = true;
    }
    if (postDrain)
        post(generation, [this] { drain(); });
}

void PilotTableLoader::drain()
{
    ReviewBatch rows;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        rows.swap(ready_);
        drainPosted_ = false;
    }
    if (rows.empty())
        return;
    loaded_ += static_cast<std::int64_t>(rows.size());
    emit rowsLoaded(rows);
    emit progressChanged();
}

void PilotTableLoader::run()
{
    // Below the window's thread, so that on a busy machine the window still
    // answers at once while the files are read. Only this thread changes.
    vantrel::process::lowerThreadPriority();
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (stop_)
                return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        if (!stale(job.generation))
            runJob(job);
        post(job.generation, [this] {
            if (--outstanding_ == 0)
                emit finished(false);
        });
    }
}

void PilotTableLoader::runJob(const Job& job)
{
    using Clock = std::chrono::steady_clock;
    const vantrel::PilotFileSearch search = vantrel::findPilotFiles(job.path);
    const std::vector<std::string>& files = search.files;
    const auto count = static_cast<std::int64_t>(files.size() + search.failures.size());
    post(job.generation, [this, count] {
        found_ += count;
        emit progressChanged();
    });

    ReviewBatch batch;
    std::unordered_map<QString, QString> folders;
    auto started = Clock::now();
    const auto send = [&] {
        if (batch.empty())
            return;
        deliver(job.generation, std::move(batch));
        batch = {};
        started = Clock::now();
    };

    // A folder that cannot be searched to the end gets a row of its own,
    // with the words vantrel-cli table prints for it.
    for (const vantrel::FileResult& failure : search.failures) {
        ReviewedPilot failed;
        failed.entry.cells[vantrel::kFileColumn] = job.path;
        failed.entry.cells[vantrel::kLoadErrorColumn] = failure.message();
        failed.fileKey = fileKey(job.path, folders) + '\n' + failure.message();
        batch.push_back(std::move(failed));
    }
    for (const std::string& file : files) {
        if (stale(job.generation))
            return;
        ReviewedPilot pilot = loadReviewedPilot(file, files_);
        pilot.fileKey = fileKey(file, folders);
        batch.push_back(std::move(pilot));
        if (batch.size() >= kBatchRows || Clock::now() - started >= std::chrono::milliseconds(kBatchMilliseconds))
            send();
    }
    send();
}
