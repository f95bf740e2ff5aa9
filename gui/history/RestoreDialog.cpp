#include "gui/history/RestoreDialog.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

#include "core/pilot/OwnSaves.h"
#include "core/pilot/PilotRestore.h"
#include "core/reports/PilotDiff.h"
#include "gui/support/FormSupport.h"
#include "gui/support/CorePath.h"

using vantrel::Prompts;

namespace {

QString decoded(const std::string& path)
{
    return vantrel::fromCorePath(path);
}

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

}  // namespace

TRestoreDialog::TRestoreDialog(Prompts& prompts, const QString& path, const std::string& backupFolder, QWidget* parent)
      : QDialog(parent), prompts_(prompts), path_(vantrel::corePath(path)), backupFolder_(backupFolder)
{
    setObjectName(QStringLiteral("RestoreDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Restore a backup"));
    setFont(vantrel::formFont());
    resize(640, 480);
    createControls();
    loadHistory();
}

TRestoreDialog::~TRestoreDialog() = default;

void TRestoreDialog::createControls()
{
    BackupsLabel = new QLabel(this);
    BackupsLabel->setObjectName(QStringLiteral("BackupsLabel"));
    BackupsLabel->setWordWrap(true);
    BackupList = new QListWidget(this);
    BackupList->setObjectName(QStringLiteral("BackupList"));
    BackupsLabel->setBuddy(BackupList);
    ChangesLabel = new QLabel(QStringLiteral("What the restore changes in the file as it is now:"), this);
    ChangesLabel->setObjectName(QStringLiteral("ChangesLabel"));
    ChangesText = new QPlainTextEdit(this);
    ChangesText->setObjectName(QStringLiteral("ChangesText"));
    ChangesText->setReadOnly(true);
    ChangesText->setLineWrapMode(QPlainTextEdit::NoWrap);
    ChangesLabel->setBuddy(ChangesText);

    RestoreButton = new QPushButton(QStringLiteral("Restore"), this);
    RestoreButton->setObjectName(QStringLiteral("RestoreButton"));
    RestoreButton->setToolTip(QStringLiteral("Put the chosen backup back, after backing up the file as it is now"));
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(RestoreButton);
    buttons->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BackupsLabel);
    layout->addWidget(BackupList, 1);
    layout->addWidget(ChangesLabel);
    layout->addWidget(ChangesText, 2);
    layout->addLayout(buttons);

    connect(BackupList, &QListWidget::currentRowChanged, this, &TRestoreDialog::BackupListChange);
    connect(RestoreButton, &QPushButton::clicked, this, &TRestoreDialog::RestoreButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TRestoreDialog::loadHistory()
{
    // The identity first: a save that comes while the history is read makes
    // it differ at the restore, and the changes are worked out again.
    listedIdentity_ = vantrel::fileIdentity(path_);
    std::vector<vantrel::PilotVersion> versions = vantrel::pilotHistory(path_, backupFolder_);
    backups_.clear();
    current_.reset();
    for (auto it = versions.rbegin(); it != versions.rend(); ++it) {
        if (it->current)
            current_ = std::move(*it);
        else
            backups_.push_back(std::move(*it));
    }

    older_ = vantrel::olderBackupVersions(path_, backupFolder_);
    std::reverse(older_.begin(), older_.end());

    const QSignalBlocker quiet(BackupList);
    BackupList->clear();
    rows_.clear();
    const auto addBackup = [this](const vantrel::PilotVersion& backup) {
        QString line = text(backup.date) + QStringLiteral("  ") + QFileInfo(decoded(backup.path)).fileName();
        if (!backup.record)
            line += QStringLiteral("  (not loaded)");
        BackupList->addItem(line);
        rows_.push_back(&backup);
    };
    for (const vantrel::PilotVersion& backup : backups_)
        addBackup(backup);
    if (!older_.empty()) {
        auto* heading = new QListWidgetItem(text(std::string(vantrel::kOlderBackupsHeading)), BackupList);
        heading->setFlags(Qt::NoItemFlags);
        rows_.push_back(nullptr);
    }
    for (const vantrel::PilotVersion& backup : older_)
        addBackup(backup);
    if (backups_.empty())
        BackupsLabel->setText(QStringLiteral("No backups of %1 in %2.").arg(decoded(path_), decoded(backupFolder_)));
    else
        BackupsLabel->setText(QStringLiteral("Backups of %1, newest first:").arg(decoded(path_)));
    BackupList->setCurrentRow(backups_.empty() ? -1 : 0);
    BackupListChange();
}

const vantrel::PilotVersion* TRestoreDialog::chosenBackup() const
{
    const int row = BackupList->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
        return nullptr;
    return rows_[static_cast<std::size_t>(row)];
}

QStringList TRestoreDialog::changesFor(const vantrel::PilotVersion& backup) const
{
    QStringList lines;
    if (!backup.record) {
        lines << QStringLiteral("The backup does not load:");
        for (const std::string& message : backup.loadMessages)
            lines << text(message);
        return lines;
    }
    if (!current_) {
        lines << QStringLiteral("%1 does not exist; the restore creates it.").arg(decoded(path_));
        return lines;
    }
    if (!current_->record) {
        lines << QStringLiteral("The file as it is now does not load:");
        for (const std::string& message : current_->loadMessages)
            lines << text(message);
        return lines;
    }
    for (const std::string& change : vantrel::diffPilots(*current_->record, *backup.record))
        lines << text(change);
    if (lines.isEmpty())
        lines << QStringLiteral("No change: the file holds what the backup holds.");
    return lines;
}

void TRestoreDialog::BackupListChange()
{
    const vantrel::PilotVersion* backup = chosenBackup();
    ChangesText->setPlainText(backup ? changesFor(*backup).join(QLatin1Char('\n')) : QString());
    RestoreButton->setEnabled(backup != nullptr);
}

void TRestoreDialog::RestoreButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        const vantrel::PilotVersion* backup = chosenBackup();
        if (!backup)
            return;
        const std::string backupPath = backup->path;
        const QString question = QStringLiteral(
                                     "Restore %1 from the backup of %2 (%3)?\nThe file as it is now is "
                                     "backed up first.")
                                     .arg(decoded(path_), text(backup->date), decoded(backupPath));
        if (!prompts_.askWithDetails(this, Prompts::Kind::Confirmation, QStringLiteral("Restore a backup"), question,
                                     changesFor(*backup).join(QLatin1Char('\n')), Prompts::Default::No))
            return;
        // The changes the user confirmed were worked out from the file as it
        // was then; one the game saved since is not replaced unseen.
        if (vantrel::fileIdentity(path_) != listedIdentity_) {
            const int row = BackupList->currentRow();
            loadHistory();
            BackupList->setCurrentRow(std::min(row, BackupList->count() - 1));
            prompts_.tell(this, Prompts::Kind::Warning,
                          QStringLiteral("Cannot restore %1: it changed since its backups were listed. Nothing was "
                                         "written; look at the changes again.")
                              .arg(decoded(path_)));
            return;
        }
        const vantrel::OwnSaves ownSaves;  // so that the watcher does not offer the restored file as the game's
        const vantrel::RestoreResult restored = vantrel::restorePilotBackup(
            path_, backupPath, backupFolder_, std::chrono::system_clock::now(), vantrel::systemFileAccess(), &ownSaves);
        if (!restored.ok()) {
            prompts_.tell(this, Prompts::Kind::Error, text(restored.message()), text(restored.cause()));
            return;
        }
        if (!restored.ownSave.ok())
            prompts_.tell(this, Prompts::Kind::Warning,
                          text(restored.message()) + QLatin1Char('\n') + text(restored.ownSave.message()),
                          text(restored.ownSave.cause()));
        else
            prompts_.tell(this, Prompts::Kind::Information, text(restored.message()));
        accept();
    });
}
