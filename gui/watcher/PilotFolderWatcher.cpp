#include "gui/watcher/PilotFolderWatcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "core/files/AtomicFile.h"
#include "core/pilot/PilotLayout.h"
#include "core/platform/GameFolders.h"
#include "core/platform/PlatformPaths.h"
#include "core/reports/ReportDate.h"
#include "core/settings/SettingsKeys.h"
#include "gui/support/FormSupport.h"
#include "gui/support/ProgramSettings.h"
#include "gui/watcher/NewSavesWindow.h"
#include "gui/support/CorePath.h"

namespace keys = vantrel::keys;
namespace defaults = vantrel::defaults;

namespace {

std::string local(const QString& path)
{
    return vantrel::corePath(path);
}

QString fromLocal(const std::string& path)
{
    return vantrel::fromCorePath(path);
}

}  // namespace

PilotFolderWatcher::PilotFolderWatcher(QWidget* owner, vantrel::Prompts& prompts,
                                       std::function<void(const QString&)> appendToLog,
                                       std::function<QString()> lastLogLine, vantrel::OwnSaves ownSaves)
      : QObject(owner),
        owner_(owner),
        prompts_(prompts),
        appendToLog_(std::move(appendToLog)),
        lastLogLine_(std::move(lastLogLine)),
        ownSaves_(std::move(ownSaves)),
        offers_(new TNewSavesWindow(appendToLog_, owner)),
        watcher_(new QFileSystemWatcher(this)),
        timer_(new QTimer(this)),
        settling_(vantrel::layout::kPilotFileSize, kQuietPeriod)
{
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &PilotFolderWatcher::decide);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &PilotFolderWatcher::folderChanged);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &PilotFolderWatcher::fileChanged);
}

PilotFolderWatcher::~PilotFolderWatcher() = default;

void PilotFolderWatcher::followSetting()
{
    vantrel::runAction(owner_, prompts_, [this] {
        vantrel::SettingsStore& settings = vantrel::currentProgramSettings();
        if (!settings.flag(keys::WatchPilotFolders, defaults::WatchPilotFolders)) {
            watchFolders({});
            return;
        }
        // The open dialog's start, as "Open pilotfile" reads it.
        const std::string lastDir = settings.read(keys::LastDir, vantrel::paths::fallbackDirectory());
        QStringList folders;
        for (const std::string& folder :
             vantrel::gamefolders::watchedPilotFolders(vantrel::paths::homeDirectory(), lastDir))
            folders << fromLocal(folder);
        watchFolders(folders);
    });
}

void PilotFolderWatcher::watchFolders(const QStringList& folders)
{
    for (const QString& folder : QStringList(folders_)) {
        if (!folders.contains(folder))
            stopFolder(folder);
    }
    const QStringList before = std::exchange(folders_, {});
    for (const QString& folder : folders) {
        if (folders_.contains(folder))
            continue;
        folders_ << folder;
        if (!before.contains(folder))
            startFolder(folder);
    }
    if (folders_.isEmpty()) {
        timer_->stop();
        ready_.clear();
        settling_.clear();
        seen_.clear();
    }
}

void PilotFolderWatcher::setQuietPeriods(std::chrono::milliseconds period, std::chrono::milliseconds withErrors)
{
    settling_.setQuietPeriod(period);
    quietWithErrors_ = withErrors;
}

QStringList PilotFolderWatcher::pilotFilesIn(const QString& folder)
{
    // Files only: FIFOs, sockets and devices are left out (QDir::System).
    QStringList files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.plt")}, QDir::Files | QDir::Hidden, QDir::Name))
        files << dir.filePath(name);
    return files;
}

void PilotFolderWatcher::startFolder(const QString& folder)
{
    watcher_->addPath(folder);
    // What is there now is the last save seen of each file.
    for (const QString& file : pilotFilesIn(folder)) {
        const std::string path = local(file);
        settling_.known(path, vantrel::fileIdentity(path));
        seen_.remember(path);
        watcher_->addPath(file);
    }
}

void PilotFolderWatcher::stopFolder(const QString& folder)
{
    watcher_->removePath(folder);
    for (const QString& file : watcher_->files()) {
        if (QFileInfo(file).absolutePath() != folder)
            continue;
        watcher_->removePath(file);
        settling_.forget(local(file));
        seen_.forget(local(file));
    }
    std::erase_if(ready_, [&](const vantrel::SaveOffer& offer) {
        return QFileInfo(fromLocal(offer.path)).absolutePath() == folder;
    });
}

void PilotFolderWatcher::folderChanged(const QString& folder)
{
    if (!folders_.contains(folder))
        return;
    // A file added, removed or put in place by a rename.
    for (const QString& file : pilotFilesIn(folder)) {
        noteChange(file);
        if (!watcher_->files().contains(file))
            watcher_->addPath(file);
    }
    scheduleDecision();
}

void PilotFolderWatcher::fileChanged(const QString& path)
{
    if (!folders_.contains(QFileInfo(path).absolutePath()))
        return;
    noteChange(path);
    // A file replaced or removed is no longer watched; one put back is.
    if (QFileInfo::exists(path) && !watcher_->files().contains(path))
        watcher_->addPath(path);
    scheduleDecision();
}

void PilotFolderWatcher::noteChange(const QString& path)
{
    const std::string file = local(path);
    settling_.noteChange(file, vantrel::fileIdentity(file), Clock::now());
}

void PilotFolderWatcher::decide()
{
    const std::vector<std::string> settled =
        settling_.settle(Clock::now(), [](const std::string& path) { return vantrel::fileIdentity(path); });
    for (const std::string& path : settled) {
        vantrel::runAction(owner_, prompts_, [&] {
            // The program's own save is no save of the game; the game's next
            // save is told against it.
            if (ownSaves_.holds(path)) {
                seen_.remember(path);
                std::erase_if(ready_, [&](const vantrel::SaveOffer& waiting) { return waiting.path == path; });
                emit ownSavePassed(fromLocal(path));
                return;
            }
            std::optional<vantrel::SaveOffer> offer =
                seen_.offerFor(path, vantrel::currentProgramSettings(), vantrel::DateSource{&vantrel::localShortDate});
            if (!offer)
                return;
            if (offer->record && offer->record->FileErrorCount > 0 &&
                settling_.holdUntilQuietFor(path, quietWithErrors_, Clock::now()))
                return;
            std::erase_if(ready_, [&](const vantrel::SaveOffer& waiting) { return waiting.path == path; });
            ready_.push_back(std::move(*offer));
        });
    }
    offerReady();
    scheduleDecision();
}

void PilotFolderWatcher::offerReady()
{
    // However many saves arrive, they gather in the one list; nothing waits
    // for an answer.
    if (ready_.empty())
        return;
    const QString lastLine = lastLogLine_ ? lastLogLine_() : QString();
    std::vector<vantrel::SaveOffer> listed = std::exchange(ready_, {});
    for (const vantrel::SaveOffer& offer : listed) {
        // Offered is seen: a later save is told against this one.
        seen_.offered(offer);
        const QString entry = QString::fromStdString(offer.entry);
        offers_->offer(offer, !lastLine.isEmpty() && lastLine == entry);
        emit saveOffered(fromLocal(offer.path));
    }
    if (!offers_->isVisible())
        offers_->show();
}

void PilotFolderWatcher::scheduleDecision()
{
    std::optional<Clock::time_point> next = settling_.nextDecision();
    if (!next) {
        timer_->stop();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now());
    timer_->start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0)));
}
