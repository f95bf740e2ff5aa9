// Watches the folders where the game keeps its pilots. When the game has
// saved a pilot there, the save's score entry is offered for the main log in
// the "New pilot saves" list, with what changed since the last save of that
// file the watcher saw. The program's own saves (Save in the pilot view,
// vantrel-cli set and restore) are not the game's and are never offered.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/files/SettleTracker.h"
#include "core/pilot/OwnSaves.h"
#include "core/reports/SaveOffer.h"
#include "gui/support/Prompts.h"

#include <QWidget>

class QFileSystemWatcher;
class TNewSavesWindow;
class QTimer;

class PilotFolderWatcher : public QObject {
    Q_OBJECT
public:
    // How long a pilot file must stay as it is before its save counts as
    // done: the game may write a file in more than one step.
    static constexpr std::chrono::milliseconds kQuietPeriod{500};
    // A save whose error/cheat check finds errors may be one caught half-way
    // through an in-place write: it is offered only once it has stayed as it
    // is this long.
    static constexpr std::chrono::milliseconds kQuietPeriodWithErrors{3000};

    // `appendToLog` adds an accepted entry to the main log; `lastLogLine`
    // gives the main log's last line. The list of offers belongs to `owner`,
    // the main window, which also owns the watcher. `ownSaves` is the journal
    // of the program's own saves (by default the user's).
    PilotFolderWatcher(QWidget* owner, vantrel::Prompts& prompts, std::function<void(const QString&)> appendToLog,
                       std::function<QString()> lastLogLine = {}, vantrel::OwnSaves ownSaves = vantrel::OwnSaves());
    ~PilotFolderWatcher() override;

    // Watches the folders of gamefolders::watchedPilotFolders() while the
    // setting WatchPilotFolders is on, and nothing while it is off.
    void followSetting();

    // Watches exactly these folders: folders already watched keep what was
    // seen of them, a new folder's pilot files are loaded as the last saves
    // seen. An empty list ends all watching and forgets what was seen.
    void watchFolders(const QStringList& folders);
    QStringList watchedFolders() const { return folders_; }
    bool isWatching() const { return !folders_.isEmpty(); }

    void setQuietPeriods(std::chrono::milliseconds period, std::chrono::milliseconds withErrors);

    // The list the offers gather in.
    TNewSavesWindow& offers() { return *offers_; }

signals:
    // A save of `path` was listed.
    void saveOffered(const QString& path);
    // A save of `path` was found to be the program's own and passed over.
    void ownSavePassed(const QString& path);

private:
    using Clock = vantrel::SettleTracker::Clock;

    void startFolder(const QString& folder);
    void stopFolder(const QString& folder);
    void folderChanged(const QString& folder);
    void fileChanged(const QString& path);
    void noteChange(const QString& path);
    void decide();
    void offerReady();
    void scheduleDecision();
    // The pilot files in a folder, by full path.
    static QStringList pilotFilesIn(const QString& folder);

    QWidget* owner_;
    vantrel::Prompts& prompts_;
    std::function<void(const QString&)> appendToLog_;
    std::function<QString()> lastLogLine_;
    vantrel::OwnSaves ownSaves_;
    TNewSavesWindow* offers_;
    QFileSystemWatcher* watcher_;
    QTimer* timer_;
    QStringList folders_;
    vantrel::SettleTracker settling_;
    std::chrono::milliseconds quietWithErrors_ = kQuietPeriodWithErrors;
    vantrel::SeenSaves seen_;
    // Offers not yet listed, oldest first; a newer save of a file replaces
    // the one waiting.
    std::vector<vantrel::SaveOffer> ready_;
};
