#include "gui/charts/ChartWindow.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

#include "core/charts/HistoryChart.h"
#include "core/charts/PilotCharts.h"
#include "core/files/AtomicFile.h"
#include "core/mainlog/LogWriter.h"
#include "core/platform/PlatformPaths.h"
#include "core/reports/PilotHistory.h"
#include "core/settings/SettingsKeys.h"
#include "gui/charts/ChartPainter.h"
#include "gui/charts/ChartPicture.h"
#include "gui/support/FormSupport.h"
#include "gui/support/ProgramSettings.h"
#include "gui/support/CorePath.h"

using vantrel::Prompts;
namespace charts = vantrel::charts;

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
    return vantrel::corePath(path);
}

// A file name part made of a column's header: "Campaign total" -> "campaign-total".
QString fileNamePart(const QString& text)
{
    QString part;
    for (const QChar c : text.toLower()) {
        if (c.isLetterOrNumber())
            part += c;
        else if (!part.isEmpty() && !part.endsWith(QLatin1Char('-')))
            part += QLatin1Char('-');
    }
    while (part.endsWith(QLatin1Char('-')))
        part.chop(1);
    return part;
}

}  // namespace

TChartWindow::TChartWindow(Prompts& prompts, const QString& title, std::vector<Chart> charts, QWidget* parent)
      : QWidget(parent, Qt::Window), prompts_(prompts), charts_(std::move(charts)), drawn_(charts_.size())
{
    setObjectName(QStringLiteral("ChartWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setFont(vantrel::formFont());
    createControls();

    svgDialog_.title = QStringLiteral("Save the chart as SVG");
    svgDialog_.filter = QStringLiteral("SVG pictures|*.svg|All files|*.*");
    svgDialog_.confirmOverwrite = true;
    pngDialog_.title = QStringLiteral("Save the chart as PNG");
    pngDialog_.filter = QStringLiteral("PNG pictures|*.png|All files|*.*");
    pngDialog_.confirmOverwrite = true;

    if (!charts_.empty())
        ChartChoiceChange(0);
    fitToChart();
}

void TChartWindow::fitToChart()
{
    // As large as the first chart needs, within most of the screen.
    const QSize chart = ChartView->size();
    const QSize frame(ChartScroll->frameWidth() * 2 + ChartScroll->verticalScrollBar()->sizeHint().width(),
                      ChartScroll->frameWidth() * 2 + ChartScroll->horizontalScrollBar()->sizeHint().height());
    const QSize wanted = chart + frame + QSize(0, sizeHint().height() - ChartScroll->sizeHint().height());
    QSize room(1024, 768);
    if (const QScreen* screen = this->screen())
        room = screen->availableGeometry().size() * 0.85;
    resize(std::clamp(wanted.width() + 24, 480, std::max(480, room.width())),
           std::clamp(wanted.height() + 24, 260, std::max(260, room.height())));
}

TChartWindow::~TChartWindow() = default;

void TChartWindow::createControls()
{
    ChoiceLabel = new QLabel(QStringLiteral("Chart:"), this);
    ChoiceLabel->setObjectName(QStringLiteral("ChoiceLabel"));
    ChartChoice = new QComboBox(this);
    ChartChoice->setObjectName(QStringLiteral("ChartChoice"));
    for (const Chart& chart : charts_)
        ChartChoice->addItem(chart.name);
    ChoiceLabel->setBuddy(ChartChoice);
    // One chart needs no choosing.
    ChoiceLabel->setVisible(charts_.size() > 1);
    ChartChoice->setVisible(charts_.size() > 1);

    // The drawing at its own size, so its shape is kept; a chart larger than
    // the window scrolls.
    ChartView = new vantrel::TChartView(this);
    ChartView->setObjectName(QStringLiteral("ChartView"));
    ChartScroll = new QScrollArea(this);
    ChartScroll->setObjectName(QStringLiteral("ChartScroll"));
    ChartScroll->setWidgetResizable(false);
    ChartScroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ChartScroll->setWidget(ChartView);

    SaveSvgButton = button(this, "SaveSvgButton", QStringLiteral("Save as SVG..."),
                           QStringLiteral("Save the chart as an SVG document"));
    SavePngButton = button(this, "SavePngButton", QStringLiteral("Save as PNG..."),
                           QStringLiteral("Save the chart as a PNG picture"));
    CloseButton = button(this, "CloseButton", QStringLiteral("Close"), QStringLiteral("Close the chart window"));

    auto* top = new QHBoxLayout;
    top->addWidget(ChoiceLabel);
    top->addWidget(ChartChoice);
    top->addStretch(1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(SaveSvgButton);
    bottom->addWidget(SavePngButton);
    bottom->addWidget(CloseButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ChartScroll, 1);
    layout->addLayout(bottom);

    connect(ChartChoice, &QComboBox::currentIndexChanged, this, &TChartWindow::ChartChoiceChange);
    connect(SaveSvgButton, &QPushButton::clicked, this, &TChartWindow::SaveSvgButtonClick);
    connect(SavePngButton, &QPushButton::clicked, this, &TChartWindow::SavePngButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

const charts::Drawing* TChartWindow::drawing() const
{
    return shown_ < 0 ? nullptr : &*drawn_[static_cast<std::size_t>(shown_)];
}

std::string TChartWindow::svg() const
{
    return shown_ < 0 ? std::string() : charts::svgDocument(*drawing());
}

void TChartWindow::ChartChoiceChange(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= charts_.size())
        return;
    vantrel::runAction(this, prompts_, [&] {
        std::optional<charts::Drawing>& drawn = drawn_[static_cast<std::size_t>(index)];
        if (!drawn)
            drawn = charts::drawChart(charts_[static_cast<std::size_t>(index)].draw());
        shown_ = index;
        ChartView->setDrawing(&*drawn);
        if (ChartChoice->currentIndex() != index)
            ChartChoice->setCurrentIndex(index);
    });
    SaveSvgButton->setEnabled(shown_ >= 0);
    SavePngButton->setEnabled(shown_ >= 0);
}

std::optional<std::string> TChartWindow::chooseTarget(Prompts::FileRequest& request, const QString& extension)
{
    if (shown_ < 0)
        return std::nullopt;
    if (request.directory.isEmpty())
        request.directory = QString::fromStdString(
            vantrel::currentProgramSettings().read(vantrel::keys::LastDir, vantrel::paths::fallbackDirectory()));
    // The chart shown names the file; a file chosen before keeps its folder.
    const QString name = charts_[static_cast<std::size_t>(shown_)].fileStem + extension;
    if (!request.fileName.isEmpty())
        request.directory = QFileInfo(request.fileName).absolutePath();
    request.fileName = name;
    const std::optional<QString> chosen = prompts_.chooseSaveFile(this, request);
    if (!chosen)
        return std::nullopt;
    request.fileName = *chosen;
    return fileSystemName(*chosen);
}

void TChartWindow::writeFile(const std::string& path, std::string_view bytes)
{
    const vantrel::FileResult written = vantrel::replaceFileAtomically(path, bytes);
    if (!written)
        prompts_.tell(this, Prompts::Kind::Error, QString::fromStdString(vantrel::mainlog::cannotCreateMessage(path)),
                      QString::fromStdString(written.cause()));
}

void TChartWindow::SaveSvgButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        if (const std::optional<std::string> path = chooseTarget(svgDialog_, QStringLiteral(".svg")))
            writeFile(*path, svg());
    });
}

void TChartWindow::SavePngButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        const std::optional<std::string> path = chooseTarget(pngDialog_, QStringLiteral(".png"));
        if (!path)
            return;
        const QByteArray png = vantrel::chartPng(*drawing());
        if (png.isEmpty()) {
            prompts_.tell(this, Prompts::Kind::Error,
                          QStringLiteral("Cannot draw the chart as a picture. %1 was not written.")
                              .arg(QString::fromStdString(*path)));
            return;
        }
        writeFile(*path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
    });
}

TChartWindow* TChartWindow::forPilot(Prompts& prompts, const QString& path,
                                     std::shared_ptr<const vantrel::PilotRecord> record, QWidget* parent)
{
    const std::string pilot = charts::pilotLabel(*record);
    const QString stem = QFileInfo(path).completeBaseName();
    const std::string file = fileSystemName(path);
    std::vector<Chart> list;
    list.push_back({QStringLiteral("Campaign missions"), stem + QStringLiteral("-missions"),
                    [record] { return charts::missionsChart(*record); }});
    list.push_back({QStringLiteral("Kills and assists"), stem + QStringLiteral("-kills"),
                    [record] { return charts::killsChart(*record); }});
    list.push_back({QStringLiteral("History (backups)"), stem + QStringLiteral("-history"), [file] {
                        const std::vector<vantrel::PilotVersion> versions =
                            vantrel::pilotHistory(file, vantrel::paths::backupDirectory());
                        return charts::historyChart(charts::historyPilotLabel(versions, file), versions);
                    }});
    return new TChartWindow(prompts, QStringLiteral("Charts of ") + QString::fromStdString(pilot), std::move(list),
                            parent);
}

TChartWindow* TChartWindow::forSquadron(Prompts& prompts, std::vector<vantrel::PilotTableEntry> entries,
                                        charts::RowOrder order, QWidget* parent)
{
    auto shared = std::make_shared<const std::vector<vantrel::PilotTableEntry>>(std::move(entries));
    const auto table = vantrel::pilotTableColumns();
    std::vector<std::size_t> columns{charts::kSquadronDefaultColumn};
    for (const vantrel::PilotTableColumnInfo& column : table) {
        if (column.kind == vantrel::CellKind::Number && column.id != charts::kSquadronDefaultColumn)
            columns.push_back(column.id);
    }
    std::vector<Chart> list;
    for (const std::size_t column : columns) {
        const std::string_view header = table[column].header;
        const QString name = QString::fromUtf8(header.data(), qsizetype(header.size()));
        list.push_back({name, QStringLiteral("squadron-") + fileNamePart(name),
                        [shared, column, order] { return charts::squadronChart(*shared, column, order); }});
    }
    return new TChartWindow(prompts, QStringLiteral("Squadron chart"), std::move(list), parent);
}
