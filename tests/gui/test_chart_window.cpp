// The chart window: the chart shown is the core's drawing painted, the SVG it
// saves is the core's document byte for byte, the PNG is a picture of the
// drawing at twice its size, a failed save is told, and a pilot's window
// chooses among its charts.
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPushButton>

#include <cmath>
#include <filesystem>

#include "ChartPaintCheck.h"
#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "core/charts/HistoryChart.h"
#include "core/charts/PilotCharts.h"
#include "core/charts/SquadronChart.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotHistory.h"
#include "gui/charts/ChartPainter.h"
#include "gui/charts/ChartPicture.h"
#include "gui/charts/ChartWindow.h"

namespace vantrel::testing {
namespace {

class ChartWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        data_.emplace(kDataHomeVariable, corePath(homePath(QStringLiteral(".local/share"))).c_str());
    }

    std::shared_ptr<const PilotRecord> loadPilot(const QString& path) const
    {
        auto record = std::make_shared<PilotRecord>();
        EXPECT_TRUE(ReadMission(*record, QFile::encodeName(path).toStdString()).ok());
        return record;
    }

    // A pilot with missions flown for the Azzameen family (1-7) and the TOD
    // (8, 9), and a name that needs escaping.
    QString writeChartPilot(const QString& name) const
    {
        std::vector<CampaignMission> campaign;
        for (int k = 0; k < 9; ++k)
            campaign.push_back({300 * (k + 1), 20 * k, 60 * k});
        return writePilot(name, campaign, [](PilotImage& image) { image.setText(layout::PilotName, "R&D <\xe9>"); });
    }

    static TChartWindow* clicked(TChartWindow& window, const char* buttonName)
    {
        auto* control = window.findChild<QPushButton*>(QString::fromLatin1(buttonName));
        EXPECT_NE(control, nullptr) << buttonName;
        if (control) {
            EXPECT_TRUE(control->isEnabled()) << buttonName;
            control->click();
        }
        return &window;
    }

    std::optional<ScopedEnv> data_;
};

TEST_F(ChartWindowTest, APilotsWindowShowsItsMissionsKillsAndHistoryAsTheCoreDrawsThem)
{
    const QString path = writeChartPilot(QStringLiteral("Tester.plt"));
    const auto record = loadPilot(path);
    QWidget owner;
    TChartWindow* window = TChartWindow::forPilot(prompts, path, record, &owner);
    window->show();
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->parentWidget(), &owner);

    auto* choice = window->findChild<QComboBox*>(QStringLiteral("ChartChoice"));
    ASSERT_NE(choice, nullptr);
    ASSERT_EQ(choice->count(), 3);
    EXPECT_TRUE(choice->isVisible());
    EXPECT_EQ(window->svg(), charts::renderSvg(charts::missionsChart(*record)));
    // What is painted is that drawing at its own size, every bar where it puts it.
    auto* view = window->findChild<QWidget*>(QStringLiteral("ChartView"));
    ASSERT_NE(view, nullptr);
    ASSERT_NE(window->drawing(), nullptr);
    const charts::Drawing& missions = *window->drawing();
    EXPECT_EQ(view->size(), QSize(int(std::ceil(missions.width)), int(std::ceil(missions.height))));
    expectBarsPainted(shownImage(*view), missions);

    choice->setCurrentIndex(1);
    EXPECT_EQ(window->svg(), charts::renderSvg(charts::killsChart(*record)));
    EXPECT_EQ(view->size(), QSize(int(std::ceil(window->drawing()->width)), int(std::ceil(window->drawing()->height))));

    // The history is the file's backups and the file now.
    const std::string file = QFile::encodeName(path).toStdString();
    const std::string folder = paths::backupDirectory();
    std::filesystem::create_directories(folder);
    const std::string older = folder + "/Tester." + backupOwnerTag(file) + ".20261101-120000.plt";
    std::filesystem::copy_file(file, older);
    choice->setCurrentIndex(2);
    const std::vector<PilotVersion> versions = pilotHistory(file, folder);
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(window->svg(), charts::renderSvg(charts::historyChart("R&D <\xc3\xa9>", versions)));
    EXPECT_NE(window->svg().find("2026-11-01 12:00:00"), std::string::npos);
    expectBarsPainted(shownImage(*view), *window->drawing());
    EXPECT_EQ(prompts.log, std::vector<std::string>{});
    window->close();
}

TEST_F(ChartWindowTest, SavesTheCoresSvgByteForByteAndReplacesAFileAfterTheDialogsQuestion)
{
    const QString path = writeChartPilot(QStringLiteral("Tester.plt"));
    const auto record = loadPilot(path);
    QWidget owner;
    TChartWindow* window = TChartWindow::forPilot(prompts, path, record, &owner);

    const QString target = homePath(QStringLiteral("chart.svg"));
    writeBytes(target, QByteArray(300000, 'x'));  // longer than the chart: nothing of it may stay
    prompts.files.push_back(target);
    clicked(*window, "SaveSvgButton");
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_TRUE(prompts.saveRequests[0].confirmOverwrite);
    EXPECT_EQ(prompts.saveRequests[0].fileName, QStringLiteral("Tester-missions.svg"));
    EXPECT_EQ(prompts.owners.back(), window);
    const std::string expected = charts::renderSvg(charts::missionsChart(*record));
    EXPECT_EQ(fileBytes(target).toStdString(), expected);

    // The next chart is saved under its own name, in the folder chosen before.
    window->findChild<QComboBox*>(QStringLiteral("ChartChoice"))->setCurrentIndex(1);
    prompts.files.push_back(std::nullopt);  // cancelled: nothing written
    clicked(*window, "SaveSvgButton");
    ASSERT_EQ(prompts.saveRequests.size(), 2u);
    EXPECT_EQ(prompts.saveRequests[1].fileName, QStringLiteral("Tester-kills.svg"));
    EXPECT_EQ(prompts.saveRequests[1].directory, homePath());
    EXPECT_EQ(fileBytes(target).toStdString(), expected);
    EXPECT_EQ(prompts.log, (std::vector<std::string>{"save: Tester-missions.svg", "save: Tester-kills.svg"}));
    window->close();
}

TEST_F(ChartWindowTest, SavesAPngOfTheChartAtTwiceItsSize)
{
    const QString path = writeChartPilot(QStringLiteral("Tester.plt"));
    const auto record = loadPilot(path);
    QWidget owner;
    TChartWindow* window = TChartWindow::forPilot(prompts, path, record, &owner);
    ASSERT_NE(window->drawing(), nullptr);
    const charts::Drawing& drawing = *window->drawing();

    const QString target = homePath(QStringLiteral("chart.png"));
    prompts.files.push_back(target);
    clicked(*window, "SavePngButton");
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(prompts.saveRequests[0].fileName, QStringLiteral("Tester-missions.png"));
    EXPECT_TRUE(prompts.saveRequests[0].confirmOverwrite);

    const QByteArray bytes = fileBytes(target);
    ASSERT_TRUE(bytes.startsWith("\x89PNG\r\n\x1a\n"));
    QImage image;
    ASSERT_TRUE(image.loadFromData(bytes, "PNG"));
    EXPECT_EQ(image.size(), QSize(int(std::ceil(2 * drawing.width)), int(std::ceil(2 * drawing.height))));
    EXPECT_EQ(image.dotsPerMeterX(), 7559);  // 192 dots per inch: the drawing's size in inches
    // A picture of the drawing: its white background, each bar where it puts it.
    expectBarsPainted(image, drawing, 2);
    window->close();
}

TEST_F(ChartWindowTest, APictureOfAHugeChartStaysWithinTheLongestSide)
{
    EXPECT_EQ(chartPictureSize(QSizeF(700, 400)), QSize(1400, 800));
    EXPECT_EQ(chartPictureSize(QSizeF(700.2, 400.75)), QSize(1401, 802));
    EXPECT_EQ(chartPictureSize(QSizeF(700, 180000)), QSize(64, kChartPictureLongestSide));
    EXPECT_EQ(chartPictureSize(QSizeF(180000.5, 3)), QSize(kChartPictureLongestSide, 1));
    EXPECT_TRUE(chartPng(charts::Drawing{}).isEmpty());
}

// The rows of a dark text on white: the leftmost and rightmost column that
// has a dark pixel in the band from `top` to `bottom`.
std::pair<int, int> inkColumns(const QImage& image, int top, int bottom)
{
    int left = image.width();
    int right = -1;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

TEST_F(ChartWindowTest, TextsArePaintedInTheDrawingsFontAtTheirAnchorAndBarsTellTheirValue)
{
    charts::Drawing drawing;
    drawing.width = 300;
    drawing.height = 100;
    drawing.fontFamily = "DejaVu Sans, Liberation Sans, Arial, sans-serif";
    drawing.fontSize = 12;
    drawing.textColour = "#000000";
    drawing.shapes.push_back(charts::Rect{"background", 0, 0, 300, 100, "#ffffff", {}});
    drawing.shapes.push_back(charts::Rect{"bar", 10, 60, 100, 12, "#1f5fa8", "Score: 1\x01"});
    const auto text = [](double y, charts::Anchor anchor) {
        charts::Text shape;
        shape.x = 150;
        shape.y = y;
        shape.text = "Wedge Antilles";
        shape.anchor = anchor;
        return shape;
    };
    for (const auto& [y, anchor] : {std::pair{15.0, charts::Anchor::Start}, std::pair{35.0, charts::Anchor::Middle},
                                    std::pair{55.0, charts::Anchor::End}})
        drawing.shapes.push_back(text(y, anchor));

    QImage image(300, 100, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        paintDrawing(painter, drawing);
    }
    const auto [startLeft, startRight] = inkColumns(image, 3, 18);
    const auto [middleLeft, middleRight] = inkColumns(image, 23, 38);
    const auto [endLeft, endRight] = inkColumns(image, 43, 58);
    const int inked = startRight - startLeft;
    ASSERT_GT(inked, 40);
    EXPECT_NEAR(startLeft, 150, 2);
    EXPECT_NEAR((middleLeft + middleRight) / 2.0, 150, 2);
    EXPECT_NEAR(endRight, 150, 2);
    EXPECT_NEAR(middleRight - middleLeft, inked, 1);  // placed at a fraction of a pixel
    EXPECT_NEAR(endRight - endLeft, inked, 1);
    EXPECT_EQ(image.pixelColor(60, 66), QColor(0x1f, 0x5f, 0xa8));

    // The font asked for, in pixels; the title's own size and weight.
    charts::Text title = text(0, charts::Anchor::Start);
    title.fontSize = 16;
    title.bold = true;
    const QFont font = drawingFont(drawing, title);
    EXPECT_EQ(font.pixelSize(), 16);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_EQ(font.families().front(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(font.styleHint(), QFont::SansSerif);
    EXPECT_EQ(drawingFont(drawing, text(0, charts::Anchor::Start)).pixelSize(), 12);

    // A bar tells its value as the SVG's title does; where no bar is, nothing is told.
    EXPECT_EQ(drawingTooltipAt(drawing, QPointF(50, 66)), QStringLiteral("Score: 1\uFFFD"));
    EXPECT_EQ(drawingTooltipAt(drawing, QPointF(150, 66)), QString());
}

TEST_F(ChartWindowTest, ASaveThatFailsIsToldWithTheFileAndItsCauseAndLeavesNoFile)
{
    const QString path = writeChartPilot(QStringLiteral("Tester.plt"));
    QWidget owner;
    TChartWindow* window = TChartWindow::forPilot(prompts, path, loadPilot(path), &owner);
    for (const char* buttonName : {"SaveSvgButton", "SavePngButton"}) {
        const QString target = homePath(QStringLiteral("missing/chart"));
        prompts.files.push_back(target);
        prompts.log.clear();
        prompts.details.clear();
        clicked(*window, buttonName);
        const std::string file = corePath(target);
        EXPECT_EQ(prompts.log,
                  (std::vector<std::string>{prompts.log.front(), "Error: Cannot create file " + file + "."}))
            << buttonName;
        ASSERT_EQ(prompts.details.size(), 1u);
        EXPECT_NE(prompts.details[0].find("No such file or directory"), std::string::npos) << prompts.details[0];
        EXPECT_FALSE(QFileInfo::exists(target));
    }
    window->close();
}

TEST_F(ChartWindowTest, ASquadronWindowOffersEveryNumberColumnCampaignTotalFirst)
{
    std::vector<PilotTableEntry> entries;
    for (const char* name : {"a.plt", "b.plt"})
        entries.push_back(
            pilotTableEntry(QFile::encodeName(pilotWithMissions(3, QString::fromLatin1(name))).toStdString()));
    QWidget owner;
    TChartWindow* window = TChartWindow::forSquadron(prompts, entries, charts::RowOrder::AsGiven, &owner);
    auto* choice = window->findChild<QComboBox*>(QStringLiteral("ChartChoice"));
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->itemText(0), QStringLiteral("Campaign total"));
    EXPECT_EQ(window->svg(),
              charts::renderSvg(charts::squadronChart(entries, kCampaignTotalColumn, charts::RowOrder::AsGiven)));
    int columns = 0;
    for (std::size_t c = 0; c < kPilotTableColumns; ++c)
        columns += pilotTableNumberColumn(c) ? 1 : 0;
    ASSERT_EQ(choice->count(), columns);
    const int tod = choice->findText(QStringLiteral("TOD score"));
    ASSERT_GT(tod, 0);
    choice->setCurrentIndex(tod);
    EXPECT_EQ(window->svg(),
              charts::renderSvg(charts::squadronChart(entries, kTodScoreColumn, charts::RowOrder::AsGiven)));
    prompts.files.push_back(std::nullopt);
    clicked(*window, "SaveSvgButton");
    EXPECT_EQ(prompts.saveRequests.back().fileName, QStringLiteral("squadron-tod-score.svg"));
    window->close();
}

}  // namespace
}  // namespace vantrel::testing
