// The chart window: one of the core's charts painted from its drawing, a
// chooser among the charts it was opened with, and saving the chart as the
// SVG document the core writes of it or as a PNG picture of it.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/charts/BarChart.h"
#include "core/charts/SquadronChart.h"
#include "core/pilot/PilotRecord.h"
#include "core/reports/PilotTable.h"
#include "gui/support/Prompts.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace vantrel {
class TChartView;
}

class TChartWindow : public QWidget {
    Q_OBJECT
public:
    struct Chart {
        QString name;                                     // as the chooser lists it
        QString fileStem;                                 // the save dialogs' file name, without its extension
        std::function<vantrel::charts::BarChart()> draw;  // called when the chart is first shown
    };

    // A window of its own that belongs to `parent`, not modal, deleted when
    // closed; it shows the first of `charts`.
    TChartWindow(vantrel::Prompts& prompts, const QString& title, std::vector<Chart> charts, QWidget* parent = nullptr);
    ~TChartWindow() override;

    // The missions, kills and history of the pilot in `path`; `record` is
    // what was read from it. The history reads the pilot's backups when
    // first chosen.
    static TChartWindow* forPilot(vantrel::Prompts& prompts, const QString& path,
                                  std::shared_ptr<const vantrel::PilotRecord> record, QWidget* parent);
    // The squadron's standing in each number column of the table, Campaign
    // total first, with the rows in `order`.
    static TChartWindow* forSquadron(vantrel::Prompts& prompts, std::vector<vantrel::PilotTableEntry> entries,
                                     vantrel::charts::RowOrder order, QWidget* parent);

    // The drawing of the chart shown; null before one is shown.
    const vantrel::charts::Drawing* drawing() const;
    // The SVG document of the chart shown, as the core writes it.
    std::string svg() const;

    // Handlers.
    void ChartChoiceChange(int index);
    void SaveSvgButtonClick();
    void SavePngButtonClick();

private:
    void createControls();
    // Sizes the window to show the chart whole, as far as the screen allows.
    void fitToChart();
    // Asks where to save the chart shown; `request` keeps what was chosen.
    std::optional<std::string> chooseTarget(vantrel::Prompts::FileRequest& request, const QString& extension);
    void writeFile(const std::string& path, std::string_view bytes);

    vantrel::Prompts& prompts_;
    std::vector<Chart> charts_;
    std::vector<std::optional<vantrel::charts::Drawing>> drawn_;
    int shown_ = -1;

    QLabel* ChoiceLabel;
    QComboBox* ChartChoice;
    QScrollArea* ChartScroll;
    vantrel::TChartView* ChartView;
    QPushButton* SaveSvgButton;
    QPushButton* SavePngButton;
    QPushButton* CloseButton;
    vantrel::Prompts::FileRequest svgDialog_;
    vantrel::Prompts::FileRequest pngDialog_;
};
