// Loads pilot files for the review window in a thread of its own and hands
// the rows back to the window's thread in batches, so that a squadron of a
// thousand pilots never holds up the window.
#pragma once

#include <QObject>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/pilot/FileAccess.h"
#include "core/pilot/PilotRecord.h"
#include "core/reports/PilotTable.h"

// One row of the review: the table entry and, for a file that loaded, what
// the load read (the entry for the log is built from it when asked for).
struct ReviewedPilot {
    vantrel::PilotTableEntry entry;
    std::shared_ptr<const vantrel::PilotRecord> record;  // null for a file that did not load
    // Which file the row stands for, however its path was written (through
    // a link, relatively, a folder reached twice): its canonical path. A file
    // replaced as a whole keeps its key. A row of the same key replaces the
    // one in the table.
    std::string fileKey;
};
using ReviewBatch = std::vector<ReviewedPilot>;

// The row of one pilot file, read now.
ReviewedPilot loadReviewedPilot(const std::string& path, vantrel::FileAccess& files = vantrel::systemFileAccess());

class PilotTableLoader : public QObject {
    Q_OBJECT
public:
    // `files` is used from the loading thread.
    explicit PilotTableLoader(vantrel::FileAccess& files = vantrel::systemFileAccess(), QObject* parent = nullptr);
    // Stops loading and waits for the file being read.
    ~PilotTableLoader() override;

    // Queues files and folders (searched with their subfolders for *.plt
    // files, as vantrel-cli table does); loading starts at once.
    void add(const QStringList& paths);
    // Drops what is queued; no row of it arrives any more. The file being
    // read is finished, its row is thrown away.
    void cancel();
    bool isLoading() const { return outstanding_ > 0; }

    // Files found and rows delivered since loading last started from idle.
    std::int64_t filesFound() const { return found_; }
    std::int64_t rowsDelivered() const { return loaded_; }

    // A batch goes out when it holds this many rows or is this old; the
    // window takes every batch that is waiting at once.
    static constexpr std::size_t kBatchRows = 64;
    static constexpr int kBatchMilliseconds = 40;

signals:
    // Rows in the order of the search: the given paths in turn, a folder's
    // files in name order.
    void rowsLoaded(const ReviewBatch& rows);
    // filesFound() or rowsDelivered() changed.
    void progressChanged();
    // Everything queued was read, or cancel() stopped it.
    void finished(bool cancelled);

private:
    struct Job {
        std::string path;
        std::uint64_t generation = 0;
    };

    void run();
    void runJob(const Job& job);
    // Hands rows to the window's thread. However many batches come in while
    // it is busy, it takes them in one go: one insertion, one sort.
    void deliver(std::uint64_t generation, ReviewBatch&& rows);
    void drain();
    bool stale(std::uint64_t generation) const { return generation != generation_.load(); }
    // Runs on the window's thread, unless `generation` was cancelled meanwhile.
    template <class Body>
    void post(std::uint64_t generation, Body body);

    vantrel::FileAccess& files_;
    // Bumped by cancel(): whatever carries an older one is dropped.
    std::atomic<std::uint64_t> generation_{0};

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    bool stop_ = false;
    // Rows read and not yet taken by the window's thread.
    ReviewBatch ready_;
    bool drainPosted_ = false;

    // Window thread only.
    int outstanding_ = 0;
    std::int64_t found_ = 0;
    std::int64_t loaded_ = 0;

    std::thread worker_;
};
