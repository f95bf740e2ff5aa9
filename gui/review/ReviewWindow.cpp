#include "gui/review/ReviewWindow.h"

#include <QAbstractProxyModel>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

#include "core/files/AtomicFile.h"
#include "core/mainlog/MainLogFile.h"
#include "core/platform/PlatformPaths.h"
#include "core/reports/PilotReport.h"
#include "core/settings/SettingsKeys.h"
#include "gui/charts/ChartWindow.h"
#include "gui/history/RestoreDialog.h"
#include "gui/support/FormSupport.h"
#include "gui/review/PilotTableLoader.h"
#include "gui/review/PilotTableModel.h"
#include "gui/support/ProgramSettings.h"
#include "gui/widgets/DroppedFiles.h"
#include "gui/widgets/GameFolderSideBar.h"

using vantrel::Prompts;

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint)
{
    auto* control = new QPushButton(caption, parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setToolTip(hint);
    return control;
}

std::string fileSystemName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

}  // namespace

TReviewWindow::TReviewWindow(Prompts& prompts, Hooks hooks, QWidget* parent, vantrel::FileAccess& files)
    : QWidget(parent, Qt::Window),
      prompts_(prompts),
      hooks_(std::move(hooks)),
      model_(new PilotTableModel(this)),
      loader_(new PilotTableLoader(files, this))
{
    setObjectName(QStringLiteral("ReviewWindow"));
    setWindowTitle(QStringLiteral("Review pilots"));
    setFont(vantrel::formFont());
    setAcceptDrops(true);
    resize(960, 520);
    createControls();

    addDialog_.title = QStringLiteral("Add pilot files");
    addDialog_.filter = QStringLiteral("XWA Pilotfiles|*.plt|All files|*.*");
    csvDialog_.title = QStringLiteral("Save the table as CSV");
    csvDialog_.filter = QStringLiteral("CSV files|*.csv|All files|*.*");
    csvDialog_.fileName = QStringLiteral("pilots.csv");
    csvDialog_.confirmOverwrite = true;

    connect(loader_, &PilotTableLoader::rowsLoaded, model_, &PilotTableModel::append);
    connect(loader_, &PilotTableLoader::progressChanged, this, &TReviewWindow::updateState);
    connect(loader_, &PilotTableLoader::finished, this, [this](bool cancelled) {
        cancelled_ = cancelled;
        updateState();
        emit loadingFinished();
    });
    updateState();
}

TReviewWindow::~TReviewWindow() = default;

void TReviewWindow::createControls()
{
    HintLabel = new QLabel(QStringLiteral("Drop pilot files or folders here, or add them with the buttons. Rows "
                                          "marked %1 fail the error/cheat check or have the score total warning; "
                                          "rows marked %2 did not load. Double-click a row to open the pilot.")
                               .arg(QString::fromLatin1(PilotTableModel::kMarkedSign),
                                    QString::fromLatin1(PilotTableModel::kFailedSign)),
                           this);
    HintLabel->setObjectName(QStringLiteral("HintLabel"));
    HintLabel->setWordWrap(true);

    AddFilesButton = button(this, "AddFilesButton", QStringLiteral("Add files..."),
                            QStringLiteral("Add pilot files to the table"));
    AddFolderButton = button(this, "AddFolderButton", QStringLiteral("Add folder..."),
                             QStringLiteral("Add every .plt file of a folder and its subfolders"));
    ClearButton = button(this, "ClearButton", QStringLiteral("Clear table"), QStringLiteral("Remove every row"));

    PilotTable = new QTableView(this);
    PilotTable->setObjectName(QStringLiteral("PilotTable"));
    PilotTable->setModel(model_);
    PilotTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    PilotTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    PilotTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PilotTable->setWordWrap(false);
    PilotTable->setTextElideMode(Qt::ElideMiddle);  // a long path keeps its file name in sight
    PilotTable->verticalHeader()->setVisible(false);
    PilotTable->verticalHeader()->setDefaultSectionSize(PilotTable->fontMetrics().height() + 6);
    PilotTable->horizontalHeader()->setStretchLastSection(true);
    PilotTable->horizontalHeader()->setSortIndicatorShown(true);
    PilotTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    PilotTable->setSortingEnabled(true);
    // Widths for the usual contents, set once: measuring every row as the
    // rows stream in would cost more than the loading itself.
    const QFontMetrics metrics(PilotTable->font());
    const auto widthOf = [&](const QString& sample) { return metrics.horizontalAdvance(sample) + 16; };
    PilotTable->setColumnWidth(PilotTableModel::kMarkColumn, widthOf(QStringLiteral("Mark")));
    PilotTable->setColumnWidth(PilotTableModel::tableColumn(vantrel::kFileColumn),
                               widthOf(QStringLiteral("/home/pilot/squadron/Kestrel_Red.plt")));
    for (std::size_t c = vantrel::kNameColumn; c < vantrel::kPilotTableColumns; ++c)
        PilotTable->setColumnWidth(
            PilotTableModel::tableColumn(c),
            std::max(widthOf(QString::fromUtf8(vantrel::pilotTableHeader()[c])), widthOf(QStringLiteral("-000000"))));
    PilotTable->setColumnWidth(PilotTableModel::tableColumn(vantrel::kRankColumn),
                               widthOf(QStringLiteral("Lieutenant JG")));
    PilotTable->setColumnWidth(PilotTableModel::tableColumn(vantrel::kRatingColumn),
                               widthOf(QStringLiteral("Veteran Gunner")));
    PilotTable->setColumnWidth(PilotTableModel::tableColumn(vantrel::kKalidorColumn),
                               widthOf(QStringLiteral("Kalidor Crescent: Diamond Eyes")));

    LoadProgress = new QProgressBar(this);
    LoadProgress->setObjectName(QStringLiteral("LoadProgress"));
    CancelButton = button(this, "CancelButton", QStringLiteral("Cancel"), QStringLiteral("Stop loading"));
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    AddEntriesButton = button(this, "AddEntriesButton", QStringLiteral("Add entries to the log"),
                              QStringLiteral("Add the score entries of the selected rows to the main log"));
    SaveCsvButton = button(this, "SaveCsvButton", QStringLiteral("Save as CSV..."),
                           QStringLiteral("Save the table, in the order shown, as a CSV file"));
    CloseButton = button(this, "CloseButton", QStringLiteral("Close"), QStringLiteral("Close the review window"));

    ChartsButton = button(this, "ChartsButton", QStringLiteral("Charts"),
                          QStringLiteral("Charts of the selected pilot, or of the squadron as the table shows it"));
    RestoreBackupButton = button(this, "RestoreBackupButton", QStringLiteral("Restore a backup..."),
                                 QStringLiteral("Put one of the selected pilot's backups back"));

    auto* top = new QHBoxLayout;
    top->addWidget(AddFilesButton);
    top->addWidget(AddFolderButton);
    top->addWidget(ClearButton);
    top->addStretch(1);
    top->addWidget(ChartsButton);
    top->addWidget(RestoreBackupButton);

    auto* progress = new QHBoxLayout;
    progress->addWidget(LoadProgress, 1);
    progress->addWidget(CancelButton);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(StatusLabel, 1);
    bottom->addWidget(AddEntriesButton);
    bottom->addWidget(SaveCsvButton);
    bottom->addWidget(CloseButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(HintLabel);
    layout->addLayout(top);
    layout->addWidget(PilotTable, 1);
    layout->addLayout(progress);
    layout->addLayout(bottom);

    connect(AddFilesButton, &QPushButton::clicked, this, &TReviewWindow::AddFilesButtonClick);
    connect(AddFolderButton, &QPushButton::clicked, this, &TReviewWindow::AddFolderButtonClick);
    connect(ClearButton, &QPushButton::clicked, this, &TReviewWindow::ClearButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TReviewWindow::CancelButtonClick);
    connect(AddEntriesButton, &QPushButton::clicked, this, &TReviewWindow::AddEntriesButtonClick);
    connect(SaveCsvButton, &QPushButton::clicked, this, &TReviewWindow::SaveCsvButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(PilotTable, &QTableView::doubleClicked, this, &TReviewWindow::PilotTableDoubleClick);
    connect(ChartsButton, &QPushButton::clicked, this, &TReviewWindow::ChartsButtonClick);
    connect(RestoreBackupButton, &QPushButton::clicked, this, &TReviewWindow::RestoreBackupButtonClick);
    connect(PilotTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TReviewWindow::updateState);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &TReviewWindow::updateState);
    connect(model_, &QAbstractItemModel::modelReset, this, &TReviewWindow::updateState);
}

bool TReviewWindow::isLoading() const
{
    return loader_->isLoading();
}

void TReviewWindow::addPaths(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    cancelled_ = false;
    loader_->add(paths);
    updateState();
}

void TReviewWindow::updateState()
{
    const bool loading = loader_->isLoading();
    const auto found = static_cast<int>(std::min<std::int64_t>(loader_->filesFound(), INT32_MAX));
    const auto loaded = static_cast<int>(std::min<std::int64_t>(loader_->rowsDelivered(), INT32_MAX));
    CancelButton->setEnabled(loading);
    if (loading && found == 0) {
        LoadProgress->setRange(0, 0);  // still searching
        LoadProgress->setFormat(QString());
    } else {
        // A search that found nothing is complete too.
        LoadProgress->setRange(0, std::max(found, 1));
        LoadProgress->setValue(found == 0 ? 1 : loaded);
        LoadProgress->setFormat(QStringLiteral("%1 of %2 files").arg(loaded).arg(found));
    }
    const int rows = model_->rowCount();
    QString status = QStringLiteral("%1 file(s): %2 marked, %3 not loaded")
                         .arg(rows)
                         .arg(model_->markedCount())
                         .arg(model_->failedCount());
    if (loading)
        status = QStringLiteral("Loading %1 of %2 file(s). ").arg(loaded).arg(found) + status;
    else if (cancelled_)
        status = QStringLiteral("Loading cancelled. ") + status;
    StatusLabel->setText(status);

    bool loadedRowChosen = false;
    for (const QModelIndex& index : PilotTable->selectionModel()->selectedRows())
        loadedRowChosen = loadedRowChosen || model_->pilot(index.row()).entry.loaded;
    AddEntriesButton->setEnabled(loadedRowChosen);
    SaveCsvButton->setEnabled(rows > 0);
    ClearButton->setEnabled(rows > 0 || loading);
    updateChartButtons();
}

QString TReviewWindow::startDirectory()
{
    return QString::fromStdString(
        vantrel::currentProgramSettings().read(vantrel::keys::LastDir, vantrel::paths::fallbackDirectory()));
}

void TReviewWindow::AddFilesButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        addDialog_.directory = startDirectory();
        addDialog_.sidebar = vantrel::gameFolderSideBar();
        if (const std::optional<QStringList> chosen = prompts_.chooseOpenFiles(this, addDialog_))
            addPaths(*chosen);
    });
}

void TReviewWindow::AddFolderButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        vantrel::Prompts::FileRequest request = addDialog_;
        request.title = QStringLiteral("Add a folder of pilot files");
        request.filter.clear();
        request.directory = startDirectory();
        request.sidebar = vantrel::gameFolderSideBar();
        if (const std::optional<QString> chosen = prompts_.chooseFolder(this, request))
            addPaths({*chosen});
    });
}

void TReviewWindow::ClearButtonClick()
{
    loader_->cancel();
    cancelled_ = false;
    model_->clear();
    updateState();
}

void TReviewWindow::CancelButtonClick()
{
    loader_->cancel();
}

void TReviewWindow::AddEntriesButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        QModelIndexList chosen = PilotTable->selectionModel()->selectedRows();
        std::sort(chosen.begin(), chosen.end(),
                  [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
        // Every entry first: a setting that stops one stops them all, and the
        // log gets all or nothing.
        vantrel::SettingsStore& settings = vantrel::currentProgramSettings();
        QStringList entries;
        for (const QModelIndex& index : chosen) {
            const ReviewedPilot& pilot = model_->pilot(index.row());
            if (pilot.record)
                entries << QString::fromStdString(vantrel::BuildExportEntry(settings, *pilot.record));
        }
        for (const QString& entry : entries)
            if (hooks_.appendLogLine)
                hooks_.appendLogLine(entry);
    });
}

void TReviewWindow::SaveCsvButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        if (csvDialog_.directory.isEmpty())
            csvDialog_.directory = startDirectory();
        const std::optional<QString> chosen = prompts_.chooseSaveFile(this, csvDialog_);
        if (!chosen)
            return;
        csvDialog_.fileName = *chosen;
        const std::string path = fileSystemName(*chosen);
        const vantrel::FileResult written =
            vantrel::replaceFileAtomically(path, model_->tableText(vantrel::TableFormat::Csv));
        if (!written)
            prompts_.tell(this, Prompts::Kind::Error, QString::fromStdString(vantrel::mainlog::cannotCreateMessage(path)),
                          QString::fromStdString(written.cause()));
    });
}

void TReviewWindow::PilotTableDoubleClick(const QModelIndex& index)
{
    if (!index.isValid() || !model_->pilot(index.row()).entry.loaded || !hooks_.openPilot)
        return;
    hooks_.openPilot(model_->filePath(index.row()));
}

void TReviewWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!vantrel::droppedPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TReviewWindow::dropEvent(QDropEvent* event)
{
    const QStringList paths = vantrel::droppedPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    addPaths(paths);
}

// Charts and restore.

int TReviewWindow::modelRow(const QModelIndex& shown) const
{
    QModelIndex index = shown;
    // Through whatever sorts or filters the rows on their way to the view.
    while (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(index.model()))
        index = proxy->mapToSource(index);
    return index.isValid() && index.model() == model_ ? index.row() : -1;
}

std::vector<int> TReviewWindow::shownRows() const
{
    const QAbstractItemModel* shown = PilotTable->model();
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(shown->rowCount()));
    for (int r = 0; r < shown->rowCount(); ++r) {
        if (const int row = modelRow(shown->index(r, 0)); row >= 0)
            rows.push_back(row);
    }
    return rows;
}

int TReviewWindow::chosenRow() const
{
    const QModelIndexList chosen = PilotTable->selectionModel()->selectedRows();
    return chosen.size() == 1 ? modelRow(chosen.front()) : -1;
}

void TReviewWindow::updateChartButtons()
{
    ChartsButton->setEnabled(PilotTable->model()->rowCount() > 0);
    RestoreBackupButton->setEnabled(chosenRow() >= 0);
}

void TReviewWindow::ChartsButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        TChartWindow* window = nullptr;
        // One pilot chosen: its own charts; otherwise the squadron as shown.
        if (const int row = chosenRow(); row >= 0 && model_->pilot(row).record) {
            window = TChartWindow::forPilot(prompts_, model_->filePath(row), model_->pilot(row).record, this);
        } else {
            std::vector<vantrel::PilotTableEntry> entries;
            for (const int shown : shownRows())
                entries.push_back(model_->pilot(shown).entry);
            // A table the user sorted keeps its order; one in the order of
            // loading is drawn largest first, as vantrel-cli draws it.
            const bool sorted = PilotTable->horizontalHeader()->sortIndicatorSection() >= 0;
            window = TChartWindow::forSquadron(
                prompts_, std::move(entries),
                sorted ? vantrel::charts::RowOrder::AsGiven : vantrel::charts::RowOrder::LargestFirst, this);
        }
        window->show();
    });
}

void TReviewWindow::RestoreBackupButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        const int row = chosenRow();
        if (row < 0)
            return;
        const QString path = model_->filePath(row);
        auto* dialog = new TRestoreDialog(prompts_, path, vantrel::paths::backupDirectory(), this);
        // The row shows the file as the restore left it.
        connect(dialog, &QDialog::accepted, this, [this, path] {
            for (int r = 0; r < model_->rowCount(); ++r) {
                if (model_->filePath(r) == path)
                    model_->replace(r, loadReviewedPilot(QFile::encodeName(path).toStdString()));
            }
            updateState();
        });
        dialog->open();
    });
}
