#include "gui/review/ReviewWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <vector>

#include "core/app/SquadronTable.h"
#include "core/platform/PlatformPaths.h"
#include "core/reports/PilotReport.h"
#include "core/reports/ReviewTexts.h"
#include "core/settings/SettingsKeys.h"
#include "core/text/WholeNumber.h"
#include "gui/review/FrozenColumnsView.h"
#include "gui/review/MarkedRowsFilter.h"
#include "gui/review/PilotTableLoader.h"
#include "gui/review/PilotTableModel.h"
#include "gui/support/FormSupport.h"
#include "gui/support/ProgramSettings.h"
#include "gui/support/WindowPlace.h"
#include "gui/widgets/DroppedFiles.h"
#include "gui/widgets/FormBuilder.h"
#include "gui/widgets/GameFolderSideBar.h"
#include "gui/support/CorePath.h"

using vantrel::PilotMark;
using vantrel::Prompts;

namespace {

std::string fileSystemName(const QString& path)
{
    return vantrel::corePath(path);
}

QString sign(PilotMark mark)
{
    return QString::fromLatin1(vantrel::pilotMarkSign(mark));
}

// The window's own keys in its section, after its place.
namespace place {
constexpr std::string_view Columns = "ColumnWidths";
constexpr std::string_view ByteOrderMark = "CsvByteOrderMark";
}  // namespace place

}  // namespace

TReviewWindow::TReviewWindow(Prompts& prompts, Hooks hooks, QWidget* parent, vantrel::FileAccess& files)
      : QWidget(parent, Qt::Window),
        prompts_(prompts),
        hooks_(std::move(hooks)),
        model_(new PilotTableModel(this)),
        shown_(new MarkedRowsFilter(*model_, this)),
        loader_(new PilotTableLoader(files, this))
{
    setObjectName(QStringLiteral("ReviewWindow"));
    model_->setObjectName(QStringLiteral("PilotTableModel"));
    setWindowTitle(QStringLiteral("Review pilots"));
    setFont(vantrel::formFont());
    setAcceptDrops(true);
    resize(960, 520);
    createControls();
    if (!hooks_.openCharts)
        ChartsButton->hide();
    if (!hooks_.restoreBackup)
        RestoreBackupButton->hide();
    restorePlace();
    // The program may end with the window open: its place is kept then too.
    if (parent)
        parent->window()->installEventFilter(this);

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

QPushButton* TReviewWindow::addButton(const char* name, const QString& caption, const QString& hint)
{
    QPushButton* button = vantrel::build::button(this, name, caption, QRect());
    button->setToolTip(hint);
    // Ahead of Close, which stays last.
    buttonRow_->insertWidget(buttonRow_->count() - 1, button);
    return button;
}

void TReviewWindow::createControls()
{
    HintLabel = vantrel::build::label(
        this, "HintLabel",
        QStringLiteral("Drop pilot files or folders here, or add them with the buttons. Rows marked %1 fail the "
                       "error/cheat check, rows marked %2 have only the score total warning, rows marked %3 did not "
                       "load. Enter or a double-click opens the pilot; Delete removes rows; Ctrl+C copies them.")
            .arg(sign(PilotMark::FailsCheck), sign(PilotMark::TotalWarningOnly), sign(PilotMark::NotLoaded)),
        QRect());
    HintLabel->setWordWrap(true);

    const auto button = [this](const char* name, const QString& caption, const QString& hint) {
        QPushButton* control = vantrel::build::button(this, name, caption, QRect());
        control->setToolTip(hint);
        return control;
    };
    AddFilesButton =
        button("AddFilesButton", QStringLiteral("Add files..."), QStringLiteral("Add pilot files to the table"));
    AddFolderButton = button("AddFolderButton", QStringLiteral("Add folder..."),
                             QStringLiteral("Add every .plt file of a folder and its subfolders"));
    ClearButton = button("ClearButton", QStringLiteral("Clear table"), QStringLiteral("Remove every row"));
    MarkedOnlyBox = vantrel::build::checkBox(this, "MarkedOnlyBox", QStringLiteral("Show only marked"), QRect());
    MarkedOnlyBox->setToolTip(QString::fromStdString(vantrel::markedOnlyHint()));

    PilotTable = new FrozenColumnsView(PilotTableModel::kFrozenColumns, this);
    PilotTable->setObjectName(QStringLiteral("PilotTable"));
    PilotTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    PilotTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    PilotTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PilotTable->setWordWrap(false);
    PilotTable->setTextElideMode(Qt::ElideMiddle);  // a long name keeps both ends in sight
    PilotTable->verticalHeader()->setVisible(false);
    PilotTable->verticalHeader()->setDefaultSectionSize(PilotTable->fontMetrics().height() + 6);
    PilotTable->horizontalHeader()->setStretchLastSection(true);
    PilotTable->horizontalHeader()->setSortIndicatorShown(true);
    PilotTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    PilotTable->setModel(shown_);
    PilotTable->setSortingEnabled(true);
    setColumnWidths();
    PilotTable->installEventFilter(this);

    LoadProgress = new QProgressBar(this);
    LoadProgress->setObjectName(QStringLiteral("LoadProgress"));
    CancelButton = button("CancelButton", QStringLiteral("Cancel"), QStringLiteral("Stop loading"));
    SummaryLabel = vantrel::build::label(this, "SummaryLabel", QString(), QRect());
    StatusLabel = vantrel::build::label(this, "StatusLabel", QString(), QRect());
    CsvBomBox = vantrel::build::checkBox(this, "CsvBomBox", QStringLiteral("Byte-order mark"), QRect());
    CsvBomBox->setToolTip(
        QStringLiteral("Start the CSV file with a byte-order mark, for spreadsheet programs "
                       "that need one to read UTF-8 (as vantrel-cli table --bom does)"));
    CloseButton = button("CloseButton", QStringLiteral("Close"), QStringLiteral("Close the review window"));

    auto* top = new QHBoxLayout;
    top->addWidget(AddFilesButton);
    top->addWidget(AddFolderButton);
    top->addWidget(ClearButton);
    top->addSpacing(12);
    top->addWidget(MarkedOnlyBox);
    top->addStretch(1);

    auto* progress = new QHBoxLayout;
    progress->addWidget(LoadProgress, 1);
    progress->addWidget(CancelButton);

    auto* status = new QHBoxLayout;
    status->addWidget(SummaryLabel, 1);
    status->addWidget(StatusLabel);

    buttonRow_ = new QHBoxLayout;
    buttonRow_->addStretch(1);
    buttonRow_->addWidget(CloseButton);
    AddEntriesButton = addButton("AddEntriesButton", QStringLiteral("Add entries to the log"),
                                 QStringLiteral("Add the score entries of the selected rows to the main log"));
    SaveCsvButton = addButton("SaveCsvButton", QStringLiteral("Save as CSV..."),
                              QStringLiteral("Save the rows shown, in the order shown, as vantrel-cli table "
                                             "--format csv writes them"));
    buttonRow_->insertWidget(buttonRow_->indexOf(SaveCsvButton) + 1, CsvBomBox);
    ChartsButton = addButton("ChartsButton", QStringLiteral("Charts"),
                             QStringLiteral("Charts of the selected pilot, or of the squadron as the table shows it"));
    RestoreBackupButton = addButton("RestoreBackupButton", QStringLiteral("Restore a backup..."),
                                    QStringLiteral("Put one of the selected pilot's backups back"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(HintLabel);
    layout->addLayout(top);
    layout->addWidget(PilotTable, 1);
    layout->addLayout(progress);
    layout->addLayout(status);
    layout->addLayout(buttonRow_);

    connect(AddFilesButton, &QPushButton::clicked, this, &TReviewWindow::AddFilesButtonClick);
    connect(AddFolderButton, &QPushButton::clicked, this, &TReviewWindow::AddFolderButtonClick);
    connect(ClearButton, &QPushButton::clicked, this, &TReviewWindow::ClearButtonClick);
    connect(MarkedOnlyBox, &QCheckBox::clicked, this, &TReviewWindow::MarkedOnlyBoxClick);
    connect(CancelButton, &QPushButton::clicked, this, &TReviewWindow::CancelButtonClick);
    connect(AddEntriesButton, &QPushButton::clicked, this, &TReviewWindow::AddEntriesButtonClick);
    connect(SaveCsvButton, &QPushButton::clicked, this, &TReviewWindow::SaveCsvButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ChartsButton, &QPushButton::clicked, this, &TReviewWindow::ChartsButtonClick);
    connect(RestoreBackupButton, &QPushButton::clicked, this, &TReviewWindow::RestoreBackupButtonClick);
    connect(PilotTable, &QTableView::doubleClicked, this, &TReviewWindow::openChosenPilot);
    connect(PilotTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TReviewWindow::updateState);
    connect(shown_, &QAbstractItemModel::rowsInserted, this, &TReviewWindow::updateState);
    connect(shown_, &QAbstractItemModel::rowsRemoved, this, &TReviewWindow::updateState);
    connect(shown_, &QAbstractItemModel::modelReset, this, &TReviewWindow::updateState);
    connect(model_, &QAbstractItemModel::dataChanged, this, &TReviewWindow::updateState);
}

void TReviewWindow::setColumnWidths()
{
    // Widths for the usual contents, set once: measuring every row as the
    // rows stream in would cost more than the loading itself.
    const QFontMetrics metrics(PilotTable->font());
    const auto widthOf = [&](const QString& sample) { return metrics.horizontalAdvance(sample) + 16; };
    for (int c = 0; c < PilotTableModel::kColumnCount; ++c)
        PilotTable->setColumnWidth(c,
                                   std::max(widthOf(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()),
                                            widthOf(PilotTableModel::widthSample(c))));
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
    // The bar and the summary count the rows already there too.
    if (!loader_->isLoading())
        rowsBeforeLoading_ = model_->rowCount();
    loader_->add(paths);
    updateState();
}

void TReviewWindow::updateState()
{
    const bool loading = loader_->isLoading();
    const auto found = static_cast<int>(std::min<std::int64_t>(loader_->filesFound(), INT32_MAX));
    const auto loaded = static_cast<int>(std::min<std::int64_t>(loader_->rowsDelivered(), INT32_MAX));
    CancelButton->setEnabled(loading);
    // Over everything the table was given: while loading, or after a cancel,
    // the rows that were there plus this run's; else the table's own rows, so
    // that the bar and the summary agree.
    const bool partial = loading || cancelled_;
    const int rows = model_->rowCount();
    const int done = partial ? rowsBeforeLoading_ + loaded : rows;
    const int all = partial ? rowsBeforeLoading_ + found : rows;
    if (loading && found == 0) {
        LoadProgress->setRange(0, 0);  // still searching
        LoadProgress->setFormat(QString());
    } else if (all == 0) {
        // Nothing to load: no progress to show.
        LoadProgress->setRange(0, 1);
        LoadProgress->setValue(0);
        LoadProgress->setFormat(QString());
    } else {
        LoadProgress->setRange(0, all);
        LoadProgress->setValue(done);
        LoadProgress->setFormat(QStringLiteral("%1 of %2 files").arg(done).arg(all));
    }
    QString summary = model_->summary();
    if (loading)
        summary = QStringLiteral("Loading %1 of %2 file(s). ").arg(done).arg(all) + summary;
    else if (cancelled_)
        summary = QStringLiteral("Loading cancelled. ") + summary;
    SummaryLabel->setText(summary);

    const std::vector<int> chosen = chosenRows();
    const bool loadedRowChosen =
        std::any_of(chosen.begin(), chosen.end(), [this](int row) { return model_->pilot(row).entry.loaded; });
    AddEntriesButton->setEnabled(loadedRowChosen);
    SaveCsvButton->setEnabled(shown_->rowCount() > 0);
    ClearButton->setEnabled(model_->rowCount() > 0 || loading);
    ChartsButton->setEnabled(shown_->rowCount() > 0);
    RestoreBackupButton->setEnabled(chosenRow() >= 0);
}

std::vector<int> TReviewWindow::chosenRows() const
{
    std::vector<int> shownRows;
    for (const QModelIndex& index : PilotTable->selectionModel()->selectedRows())
        shownRows.push_back(index.row());
    std::sort(shownRows.begin(), shownRows.end());
    std::vector<int> rows;
    rows.reserve(shownRows.size());
    for (const int row : shownRows)
        rows.push_back(shown_->tableRow(row));
    return rows;
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
    StatusLabel->clear();
    updateState();
}

void TReviewWindow::CancelButtonClick()
{
    loader_->cancel();
}

void TReviewWindow::MarkedOnlyBoxClick()
{
    shown_->setMarkedOnly(MarkedOnlyBox->isChecked());
    updateState();
}

void TReviewWindow::AddEntriesButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        // Every entry first: a setting that stops one stops them all, and the
        // log gets all or nothing.
        vantrel::SettingsStore& settings = vantrel::currentProgramSettings();
        QStringList entries;
        int skipped = 0;
        for (const int row : chosenRows()) {
            const ReviewedPilot& pilot = model_->pilot(row);
            if (pilot.record)
                entries << QString::fromStdString(vantrel::BuildExportEntry(settings, *pilot.record));
            else
                ++skipped;
        }
        for (const QString& entry : entries)
            if (hooks_.appendLogLine)
                hooks_.appendLogLine(entry);
        StatusLabel->setText(QString::fromStdString(
            vantrel::entriesAddedText(static_cast<std::size_t>(entries.size()), static_cast<std::size_t>(skipped))));
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
        // The rows shown, in the order shown, with the columns of vantrel-cli
        // table whatever the window shows of them.
        std::vector<const vantrel::PilotTableEntry*> rows;
        for (int row = 0; row < shown_->rowCount(); ++row)
            rows.push_back(&model_->pilot(shown_->tableRow(row)).entry);
        const vantrel::FileResult written = vantrel::app::saveSquadronTable(
            fileSystemName(*chosen), rows, vantrel::TableFormat::Csv, CsvBomBox->isChecked());
        if (!written)
            prompts_.tell(this, Prompts::Kind::Error, QString::fromStdString(written.message()),
                          QString::fromStdString(written.cause()));
        else
            StatusLabel->setText(QString::fromStdString(
                vantrel::app::rowsSavedText(rows.size(), vantrel::shownPath(*chosen).toStdString())));
    });
}

void TReviewWindow::openChosenPilot(const QModelIndex& index)
{
    if (!index.isValid() || !hooks_.openPilot)
        return;
    const int row = shown_->tableRow(index.row());
    if (!model_->pilot(row).entry.loaded)
        return;
    hooks_.openPilot(model_->filePath(row));
}

void TReviewWindow::removeChosenRows()
{
    model_->removeRowsAt(chosenRows());
    StatusLabel->clear();
    updateState();
}

void TReviewWindow::copyChosenRows()
{
    const std::vector<int> rows = chosenRows();
    if (rows.empty())
        return;
    std::vector<const vantrel::PilotTableEntry*> entries;
    for (const int row : rows)
        entries.push_back(&model_->pilot(row).entry);
    QApplication::clipboard()->setText(
        QString::fromStdString(vantrel::app::squadronRows(entries, vantrel::TableFormat::Tsv)));
}

bool TReviewWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (parentWidget() && watched == parentWidget()->window() && event->type() == QEvent::Close && isVisible())
        rememberPlace();
    if (watched == PilotTable && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            copyChosenRows();
            return true;
        }
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            QModelIndex current = PilotTable->currentIndex();
            if (!current.isValid() || !PilotTable->selectionModel()->isRowSelected(current.row(), {})) {
                const QModelIndexList rows = PilotTable->selectionModel()->selectedRows();
                current = rows.isEmpty() ? QModelIndex() : rows.front();
            }
            openChosenPilot(current);
            return true;
        }
        case Qt::Key_Delete: removeChosenRows(); return true;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TReviewWindow::restorePlace()
{
    const vantrel::WindowPlace kept(kSettingsSection);
    kept.restore(*this);
    const QStringList widths = QString::fromStdString(kept.value(place::Columns)).split(QLatin1Char(','));
    if (widths.size() == PilotTableModel::kColumnCount) {
        for (int c = 0; c < PilotTableModel::kColumnCount; ++c) {
            bool ok = false;
            const int w = widths[c].toInt(&ok);
            if (ok && w > 0)
                PilotTable->setColumnWidth(c, w);
        }
    }
    CsvBomBox->setChecked(kept.value(place::ByteOrderMark, "0") == "1");
}

void TReviewWindow::rememberPlace()
{
    QStringList widths;
    for (int c = 0; c < PilotTableModel::kColumnCount; ++c)
        widths << QString::number(PilotTable->columnWidth(c));
    vantrel::WindowPlace(kSettingsSection)
        .remember(*this, {{place::Columns, widths.join(QLatin1Char(',')).toStdString()},
                          {place::ByteOrderMark, CsvBomBox->isChecked() ? "1" : "0"}});
}

void TReviewWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        vantrel::placeWindow(*this);
}

void TReviewWindow::closeEvent(QCloseEvent* event)
{
    rememberPlace();
    QWidget::closeEvent(event);
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

std::vector<int> TReviewWindow::shownRows() const
{
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(shown_->rowCount()));
    for (int row = 0; row < shown_->rowCount(); ++row)
        rows.push_back(shown_->tableRow(row));
    return rows;
}

int TReviewWindow::chosenRow() const
{
    const std::vector<int> chosen = chosenRows();
    return chosen.size() == 1 ? chosen.front() : -1;
}

void TReviewWindow::ChartsButtonClick()
{
    if (!hooks_.openCharts)
        return;
    vantrel::runAction(this, prompts_, [this] {
        // One pilot chosen: its own charts; otherwise the squadron as shown.
        if (const int row = chosenRow(); row >= 0 && model_->pilot(row).record) {
            hooks_.openCharts(this, PilotCharts{model_->filePath(row), model_->pilot(row).record});
        } else {
            std::vector<vantrel::PilotTableEntry> entries;
            for (const int shown : shownRows())
                entries.push_back(model_->pilot(shown).entry);
            // A table the user sorted keeps its order; one in the order of
            // loading is drawn largest first, as vantrel-cli draws it.
            const vantrel::charts::RowOrder order =
                model_->isSorted() ? vantrel::charts::RowOrder::AsGiven : vantrel::charts::RowOrder::LargestFirst;
            hooks_.openCharts(this, SquadronCharts{std::move(entries), order});
        }
    });
}

void TReviewWindow::RestoreBackupButtonClick()
{
    if (!hooks_.restoreBackup)
        return;
    vantrel::runAction(this, prompts_, [this] {
        const int row = chosenRow();
        if (row < 0)
            return;
        const QString path = model_->filePath(row);
        // The row shows the file as the restore left it.
        hooks_.restoreBackup(this, path, [window = QPointer<TReviewWindow>(this), path] {
            if (!window)
                return;
            for (int r = 0; r < window->model_->rowCount(); ++r) {
                if (window->model_->filePath(r) == path)
                    window->model_->replace(r, loadReviewedPilot(vantrel::corePath(path)));
            }
            window->updateState();
        });
    });
}
