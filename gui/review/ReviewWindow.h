// The review window: many pilot files in one sortable table, for a squadron's
// reviewer. Files and folders are dropped on it or picked; the rows to look
// at are marked; a double-click opens a pilot in the pilot view; the entries
// of the chosen rows go into the main log; the table is saved as CSV.
#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

#include "core/pilot/FileAccess.h"
#include "gui/support/Prompts.h"

class PilotTableLoader;
class PilotTableModel;
class QLabel;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QTableView;

class TReviewWindow : public QWidget {
    Q_OBJECT
public:
    // What the window asks of the main window.
    struct Hooks {
        // The open flow for one pilot file.
        std::function<void(const QString& fileName)> openPilot;
        // Adds one line at the end of the main log.
        std::function<void(const QString& line)> appendLogLine;
    };

    // A window of its own that belongs to `parent`; not modal. `files` is what
    // the loading thread reads through.
    TReviewWindow(vantrel::Prompts& prompts, Hooks hooks, QWidget* parent = nullptr,
                  vantrel::FileAccess& files = vantrel::systemFileAccess());
    ~TReviewWindow() override;

    QLabel* HintLabel;
    QPushButton* AddFilesButton;
    QPushButton* AddFolderButton;
    QPushButton* ClearButton;
    QTableView* PilotTable;
    QProgressBar* LoadProgress;
    QPushButton* CancelButton;
    QLabel* StatusLabel;
    QPushButton* AddEntriesButton;
    QPushButton* SaveCsvButton;
    QPushButton* CloseButton;
    QPushButton* ChartsButton;
    QPushButton* RestoreBackupButton;

    PilotTableModel& model() { return *model_; }
    // Queues files and folders for loading.
    void addPaths(const QStringList& paths);
    bool isLoading() const;

    // Handlers.
    void AddFilesButtonClick();
    void AddFolderButtonClick();
    void ClearButtonClick();
    void CancelButtonClick();
    void AddEntriesButtonClick();
    void SaveCsvButtonClick();
    void PilotTableDoubleClick(const QModelIndex& index);
    void ChartsButtonClick();
    void RestoreBackupButtonClick();

signals:
    // Loading ended, all read or cancelled.
    void loadingFinished();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createControls();
    void updateState();
    QString startDirectory();
    // The model's rows in the order the table shows them, as far as it shows them.
    std::vector<int> shownRows() const;
    // The model's row of a view's index; -1 for none.
    int modelRow(const QModelIndex& index) const;
    // The one row chosen; -1 when none or several are.
    int chosenRow() const;
    void updateChartButtons();

    vantrel::Prompts& prompts_;
    Hooks hooks_;
    PilotTableModel* model_;
    PilotTableLoader* loader_;
    bool cancelled_ = false;
    vantrel::Prompts::FileRequest addDialog_;
    vantrel::Prompts::FileRequest csvDialog_;
};
