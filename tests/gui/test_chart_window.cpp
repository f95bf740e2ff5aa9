// The chart window: the chart shown is the core's, the SVG it saves is the
// core's document byte for byte, the PNG is a picture of it at twice its
// size, a failed save is told, and a pilot's window chooses among its charts.
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QSvgWidget>

#include <filesystem>

#include "GuiTestSupport.h"
#include "SvgReader.h"
#include "TestSupport.h"
#include "core/charts/HistoryChart.h"
#include "core/charts/PilotCharts.h"
#include "core/charts/SquadronChart.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotHistory.h"
#include "gui/charts/ChartPicture.h"
#include "gui/charts/ChartWindow.h"

namespace vantrel::testing {
namespace {

class ChartWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        data_.emplace("XDG_DATA_HOME", QFile::encodeName(homePath(QStringLiteral(".local/share"))).constData());
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
        return writePilot(name, campaign,
                          [](PilotImage& image) { image.setText(layout::PilotName, "R&D <\xe9>"); });
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
    // What is drawn is that document at its own size.
    auto* view = window->findChild<QSvgWidget*>(QStringLiteral("ChartView"));
    ASSERT_NE(view, nullptr);
    const XmlDocument drawn = parseXml(window->svg());
    ASSERT_TRUE(drawn.ok) << drawn.error;
    EXPECT_EQ(view->size(), QSize(int(drawn.root.number("width")), int(drawn.root.number("height"))));

    choice->setCurrentIndex(1);
    EXPECT_EQ(window->svg(), charts::renderSvg(charts::killsChart(*record)));

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
    const XmlDocument svg = parseXml(window->svg());
    ASSERT_TRUE(svg.ok) << svg.error;

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
    EXPECT_EQ(image.size(), QSize(int(2 * svg.root.number("width")), int(2 * svg.root.number("height"))));
    // A picture of the chart: its white background, and the bars' blue and orange in it.
    EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::white));
    bool tod = false;
    bool azzameen = false;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = rgb.pixel(x, y) & 0xffffff;
            tod = tod || c == 0x1f5fa8;
            azzameen = azzameen || c == 0xc25a00;
        }
    }
    EXPECT_TRUE(tod);
    EXPECT_TRUE(azzameen);
    window->close();
}

TEST_F(ChartWindowTest, APictureOfAHugeChartStaysWithinTheLongestSide)
{
    EXPECT_EQ(chartPictureSize(QSize(700, 400)), QSize(1400, 800));
    EXPECT_EQ(chartPictureSize(QSize(700, 180000)), QSize(64, kChartPictureLongestSide));
    EXPECT_TRUE(chartPng("<svg").isEmpty());
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
        const std::string file = QFile::encodeName(target).toStdString();
        EXPECT_EQ(prompts.log, (std::vector<std::string>{prompts.log.front(), "Error: Cannot create file " + file + "."}))
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
        entries.push_back(pilotTableEntry(QFile::encodeName(pilotWithMissions(3, QString::fromLatin1(name))).toStdString()));
    QWidget owner;
    TChartWindow* window = TChartWindow::forSquadron(prompts, entries, charts::RowOrder::AsGiven, &owner);
    auto* choice = window->findChild<QComboBox*>(QStringLiteral("ChartChoice"));
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->itemText(0), QStringLiteral("Campaign total"));
    EXPECT_EQ(window->svg(), charts::renderSvg(charts::squadronChart(entries, kCampaignTotalColumn, charts::RowOrder::AsGiven)));
    int columns = 0;
    for (std::size_t c = 0; c < kPilotTableColumns; ++c)
        columns += pilotTableNumberColumn(c) ? 1 : 0;
    ASSERT_EQ(choice->count(), columns);
    const int tod = choice->findText(QStringLiteral("TOD score"));
    ASSERT_GT(tod, 0);
    choice->setCurrentIndex(tod);
    EXPECT_EQ(window->svg(), charts::renderSvg(charts::squadronChart(entries, kTodScoreColumn, charts::RowOrder::AsGiven)));
    prompts.files.push_back(std::nullopt);
    clicked(*window, "SaveSvgButton");
    EXPECT_EQ(prompts.saveRequests.back().fileName, QStringLiteral("squadron-tod-score.svg"));
    window->close();
}

}  // namespace
}  // namespace vantrel::testing
