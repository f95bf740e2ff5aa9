// "Restore a backup": a pilot's backups with their dates, what putting the
// chosen one back would change in the file as it is now, and the restore
// itself, after the user confirms.
#pragma once

#include <QDialog>
#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "core/files/FileIdentity.h"
#include "core/reports/PilotHistory.h"
#include "gui/support/Prompts.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class TRestoreDialog : public QDialog {
    Q_OBJECT
public:
    // The backups of the pilot file `path` in `backupFolder` (its own, then
    // apart the older ones named like it); the dialog is
    // deleted when closed. It is accepted once a backup was put back.
    TRestoreDialog(vantrel::Prompts& prompts, const QString& path, const std::string& backupFolder,
                   QWidget* parent = nullptr);
    ~TRestoreDialog() override;

    // Handlers.
    void BackupListChange();
    void RestoreButtonClick();

private:
    void createControls();
    // Reads the file and its backups afresh.
    void loadHistory();
    const vantrel::PilotVersion* chosenBackup() const;
    // What restoring `backup` changes, as lines of text.
    QStringList changesFor(const vantrel::PilotVersion& backup) const;

    vantrel::Prompts& prompts_;
    std::string path_;
    std::string backupFolder_;
    std::vector<vantrel::PilotVersion> backups_;  // the file's own, newest first, as listed
    // Backups named by the file's stem alone, newest first, listed apart
    // after them: they may be another pilot's.
    std::vector<vantrel::PilotVersion> older_;
    // What each row of the list shows; null for the heading of the older ones.
    std::vector<const vantrel::PilotVersion*> rows_;
    std::optional<vantrel::PilotVersion> current_;
    // The file as it was when the changes were worked out.
    std::optional<vantrel::FileIdentity> listedIdentity_;

    QLabel* BackupsLabel;
    QListWidget* BackupList;
    QLabel* ChangesLabel;
    QPlainTextEdit* ChangesText;
    QPushButton* RestoreButton;
    QPushButton* CancelButton;
};
