// The review window: many pilot files in one sortable table, for a squadron's
// reviewer. Files and folders are dropped on it or picked; each row's mark
// gives the verdict at a glance, and the mark, file and pilot name stay in
// place while the figures scroll sideways; Enter or a double-click opens a
// pilot in the pilot view; the entries of the chosen rows go into the main
// log; the table is saved as CSV.
//
// Its controls and handlers are its own: tests find them by object name.
#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <string_view>
#include <variant>
#include <vector>

#include "core/charts/SquadronChart.h"
#include "core/pilot/FileAccess.h"
#include "core/pilot/PilotRecord.h"
#include "core/reports/PilotTable.h"
#include "gui/support/Prompts.h"

class FrozenColumnsView;
class MarkedRowsFilter;
class PilotTableLoader;
class PilotTableModel;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QModelIndex;
class QProgressBar;
class QPushButton;

class TReviewWindow : public QWidget {
    Q_OBJECT
public:
    // What the Charts button shows: the charts of the one pilot chosen (its
    // file and what was read from it), or the squadron's standing (the
    // entries in the order the table shows them, drawn in `order`).
    struct PilotCharts {
        QString path;
        std::shared_ptr<const vantrel::PilotRecord> record;
    };
    struct SquadronCharts {
        std::vector<vantrel::PilotTableEntry> entries;
        vantrel::charts::RowOrder order;
    };

    // What the window asks of the rest of the program.
    struct Hooks {
        // The open flow for one pilot file.
        std::function<void(const QString& fileName)> openPilot;
        // Adds one line at the end of the main log.
        std::function<void(const QString& line)> appendLogLine;
        // Shows the charts in a window that belongs to `owner`. Without it
        // the Charts button is not shown.
        std::function<void(QWidget* owner, std::variant<PilotCharts, SquadronCharts> charts)> openCharts;
        // "Restore a backup..." for the pilot file `path`, in a dialog that
        // belongs to `owner`; `restored` runs once a backup was put back.
        // Without it the button is not shown.
        std::function<void(QWidget* owner, const QString& path, std::function<void()> restored)> restoreBackup;
    };

    // The settings file's section where the window keeps its place, size and
    // column widths; it comes after the program's own section.
    static constexpr std::string_view kSettingsSection = "ReviewWindow";

    // A window of its own that belongs to `parent`; not modal. `files` is what
    // the loading thread reads through.
    TReviewWindow(vantrel::Prompts& prompts, Hooks hooks, QWidget* parent = nullptr,
                  vantrel::FileAccess& files = vantrel::systemFileAccess());
    ~TReviewWindow() override;

    // Queues files and folders for loading.
    void addPaths(const QStringList& paths);
    bool isLoading() const;

signals:
    // Loading ended, all read or cancelled.
    void loadingFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    // A button in the row under the table, ahead of Close.
    QPushButton* addButton(const char* name, const QString& caption, const QString& hint);
    void setColumnWidths();
    void updateState();
    QString startDirectory();
    // The table's rows of the rows chosen, in the order shown.
    std::vector<int> chosenRows() const;
    // The table's rows in the order shown, as far as they are shown.
    std::vector<int> shownRows() const;
    // The one row chosen; -1 when none or several are.
    int chosenRow() const;
    void rememberPlace();
    void restorePlace();

    // Handlers.
    void AddFilesButtonClick();
    void AddFolderButtonClick();
    void ClearButtonClick();
    void CancelButtonClick();
    void AddEntriesButtonClick();
    void SaveCsvButtonClick();
    void MarkedOnlyBoxClick();
    void openChosenPilot(const QModelIndex& index);
    void removeChosenRows();
    void copyChosenRows();
    void ChartsButtonClick();
    void RestoreBackupButtonClick();

    QLabel* HintLabel;
    QPushButton* AddFilesButton;
    QPushButton* AddFolderButton;
    QPushButton* ClearButton;
    QCheckBox* MarkedOnlyBox;
    FrozenColumnsView* PilotTable;
    QProgressBar* LoadProgress;
    QPushButton* CancelButton;
    QLabel* SummaryLabel;
    QLabel* StatusLabel;
    QPushButton* AddEntriesButton;
    QPushButton* SaveCsvButton;
    QCheckBox* CsvBomBox;
    QPushButton* CloseButton;
    QPushButton* ChartsButton;
    QPushButton* RestoreBackupButton;
    QHBoxLayout* buttonRow_ = nullptr;

    vantrel::Prompts& prompts_;
    Hooks hooks_;
    PilotTableModel* model_;
    MarkedRowsFilter* shown_;
    PilotTableLoader* loader_;
    bool cancelled_ = false;
    int rowsBeforeLoading_ = 0;  // the table's rows when the loading last started from idle
    vantrel::Prompts::FileRequest addDialog_;
    vantrel::Prompts::FileRequest csvDialog_;
};
