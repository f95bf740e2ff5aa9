// The pilot view dialog: loading into its controls, the From/To range and
// its buttons, the listings and report buttons, the text window.
#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <limits>
#include <set>

#include "GuiTestSupport.h"
#include "gui/pilotview/PltFile.h"
#include "gui/pilotview/TextWindowSink.h"
#include "core/pilot/Vocabulary.h"
#include "gui/pilotview/WholeNumberField.h"
#include "core/settings/SettingsKeys.h"

namespace vantrel::testing {
namespace {

const QString kListingHeader = QStringLiteral("--- Mission details: ----------------------------");

class PilotViewTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        view = std::make_unique<TPltFileView>(prompts, [] {});
    }
    QString text() const { return control<QTextEdit>(*view, "Memo1").toPlainText(); }
    QStringList lines() const { return text().split(QLatin1Char('\n')); }
    qsizetype listings() const { return lines().count(kListingHeader); }
    // The mission numbers of the campaign lines, in order.
    std::vector<int> listedMissions() const
    {
        std::vector<int> missions;
        bool inListing = false;
        for (const QString& line : lines()) {
            if (line == kListingHeader) {
                inListing = true;
                continue;
            }
            const qsizetype colon = line.indexOf(QStringLiteral(": Tot. Score="));
            if (inListing && colon > 0)
                missions.push_back(line.left(colon).toInt());
            else
                inListing = false;
        }
        return missions;
    }
    void setRange(const QString& from, const QString& to)
    {
        control<WholeNumberField>(*view, "GetFromEdit").setText(from);
        control<WholeNumberField>(*view, "GetToEdit").setText(to);
    }

    std::unique_ptr<TPltFileView> view;
};

TEST_F(PilotViewTest, BeforeTheFirstLoadTheDialogShowsItsDefaults)
{
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Dialog"));
    EXPECT_EQ(control<QLineEdit>(*view, "PilotNameEdit").text(), QStringLiteral("John Doe"));
    EXPECT_EQ(control<WholeNumberField>(*view, "GetFromEdit").text(), QStringLiteral("0"));
    EXPECT_EQ(control<WholeNumberField>(*view, "GetToEdit").text(), QStringLiteral("0"));
    const std::pair<const char*, const char*> boxes[] = {{"RankBox", "Rank"},
                                                         {"RatingBox", "Rating"},
                                                         {"KalidorBox", "Kalidor Crescent status"},
                                                         {"ActiveMissionBox", "ActiveMissionBox"}};
    for (const auto& [name, placeholder] : boxes) {
        const QComboBox& box = control<QComboBox>(*view, name);
        EXPECT_EQ(box.currentIndex(), -1) << placeholder;
        EXPECT_EQ(box.placeholderText(), QString::fromLatin1(placeholder));
    }
    EXPECT_EQ(control<QComboBox>(*view, "RankBox").count(), 9);
    EXPECT_EQ(control<QComboBox>(*view, "RatingBox").count(), 25);
    EXPECT_EQ(control<QComboBox>(*view, "KalidorBox").count(), 7);
    EXPECT_EQ(control<QComboBox>(*view, "ActiveMissionBox").count(), 255);
    EXPECT_EQ(control<QListWidget>(*view, "ShipTypes").count(), 231);
    EXPECT_TRUE(control<QListWidget>(*view, "ShipTypes").isHidden());
}

TEST_F(PilotViewTest, ALoadFillsTheControlsAndWritesReportAndEntry)
{
    const QString path = writePilot(QStringLiteral("Kestrel.plt"), {{1000, 500, 30}, {2000, 0, 40}},
                                    [](PilotImage& pilot) { pilot.setText(layout::PilotName, "Kestrel"); });
    ASSERT_EQ(view->ReadMission(path), 0);
    EXPECT_EQ(view->windowTitle(), shownPath(path));
    EXPECT_EQ(control<QLineEdit>(*view, "PilotNameEdit").text(), QStringLiteral("Kestrel"));
    EXPECT_EQ(control<QComboBox>(*view, "RankBox").currentText(), QStringLiteral("Lieutenant JG"));
    EXPECT_EQ(control<QComboBox>(*view, "RatingBox").currentText(), QStringLiteral("Marksman 3rd"));
    EXPECT_EQ(control<QComboBox>(*view, "KalidorBox").currentText(), QStringLiteral("Kalidor Crescent"));
    EXPECT_EQ(control<QComboBox>(*view, "ActiveMissionBox").currentIndex(), 2);
    EXPECT_EQ(control<WholeNumberField>(*view, "GetToEdit").text(), QStringLiteral("2"));
    EXPECT_EQ(lines().first(), QStringLiteral("Name: Kestrel"));
    EXPECT_EQ(listedMissions(), (std::vector<int>{1, 2}));
    EXPECT_EQ(control<QLineEdit>(*view, "ExportEdit").text(), QStringLiteral("Kestrel - Score: 0 (0+0)"));
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(PilotViewTest, ValuesOutsideTheTablesLeaveTheBoxesOnTheirPlaceholders)
{
    const QString path = writePilot(QStringLiteral("odd.plt"), {}, [](PilotImage& pilot) {
        pilot.setInt(layout::Rank, 9);
        pilot.setInt(layout::Rating, -1);
        pilot.setInt(layout::KalidorCrescent, 7);
        pilot.setText(layout::PilotName, "ThirteenChars");
    });
    ASSERT_EQ(view->ReadMission(writePilot(QStringLiteral("first.plt"), {{1, 1, 1}})), 0);
    ASSERT_NE(control<QComboBox>(*view, "RankBox").currentIndex(), -1);
    ASSERT_EQ(view->ReadMission(path), 0);
    EXPECT_EQ(control<QComboBox>(*view, "RankBox").currentIndex(), -1);
    EXPECT_EQ(control<QComboBox>(*view, "RatingBox").currentIndex(), -1);
    EXPECT_EQ(control<QComboBox>(*view, "KalidorBox").currentIndex(), -1);
    // No campaign record: the first mission is the active one.
    EXPECT_EQ(control<QComboBox>(*view, "ActiveMissionBox").currentIndex(), 0);
    EXPECT_EQ(control<QLineEdit>(*view, "PilotNameEdit").text(), QStringLiteral("ThirteenChars"));
}

TEST_F(PilotViewTest, AFailedLoadSetsTheTitleShowsItsMessagesAndKeepsTheControls)
{
    ASSERT_EQ(view->ReadMission(pilotWithMissions(3)), 0);
    const QString before = text();
    const QString missing = homePath(QStringLiteral("gone.plt"));
    EXPECT_EQ(view->ReadMission(missing), 2);
    EXPECT_EQ(view->windowTitle(), shownPath(missing));
    EXPECT_EQ(prompts.log, (std::vector<std::string>{
                               "Error: The file have wrong size. -1 The plt file must be 152.076 bytes!",
                               "Error: 2 Errors while loading file! This may not be a XWA pilotfile.",
                           }));
    // The first box tells the file and why it could not be opened.
    EXPECT_EQ(prompts.details, std::vector<std::string>{"The file have wrong size. -1 The plt file must be 152.076 "
                                                        "bytes! | " +
                                                        shownPath(missing).toStdString() + ": no such file"});
    EXPECT_EQ(text(), before);
    EXPECT_EQ(control<WholeNumberField>(*view, "GetToEdit").text(), QStringLiteral("3"));
}

TEST_F(PilotViewTest, FromAndToAcrossLoads)
{
    // Every load sets To to the mission count; From keeps its value and the
    // listing brings it back into range.
    ASSERT_EQ(view->ReadMission(pilotWithMissions(40, QStringLiteral("forty.plt"))), 0);
    EXPECT_EQ(control<WholeNumberField>(*view, "GetFromEdit").text(), QStringLiteral("0"));
    EXPECT_EQ(control<WholeNumberField>(*view, "GetToEdit").text(), QStringLiteral("40"));
    EXPECT_EQ(listedMissions().size(), 40u);

    control<WholeNumberField>(*view, "GetFromEdit").setText(QStringLiteral("10"));
    ASSERT_EQ(view->ReadMission(pilotWithMissions(5, QStringLiteral("five.plt"))), 0);
    EXPECT_EQ(control<WholeNumberField>(*view, "GetFromEdit").text(), QStringLiteral("4"));
    EXPECT_EQ(control<WholeNumberField>(*view, "GetToEdit").text(), QStringLiteral("5"));
    EXPECT_EQ(listedMissions(), (std::vector<int>{4, 5}));

    ASSERT_EQ(view->ReadMission(pilotWithMissions(0, QStringLiteral("none.plt"))), 0);
    EXPECT_EQ(control<WholeNumberField>(*view, "GetFromEdit").text(), QStringLiteral("0"));
    EXPECT_EQ(control<WholeNumberField>(*view, "GetToEdit").text(), QStringLiteral("0"));
    EXPECT_EQ(listings(), 1);
    EXPECT_TRUE(listedMissions().empty());
}

TEST_F(PilotViewTest, GetMissionScoresNormalisesTheFieldsAndTextThatIsNoNumberReadsZero)
{
    ASSERT_EQ(view->ReadMission(pilotWithMissions(40)), 0);
    struct Case {
        QString from, to;
        QString fromAfter, toAfter;
        std::vector<int> missions;
    };
    const std::vector<Case> cases = {
        {"7", "3", "2", "3", {2, 3}}, {"38", "300", "38", "40", {38, 39, 40}}, {"0", "-5", "0", "0", {}},
        {"", "2", "", "2", {1, 2}},   {"abc", "1", "abc", "1", {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.from + "/" + c.to).toStdString());
        control<QTextEdit>(*view, "Memo1").clear();
        setRange(c.from, c.to);
        click(*view, "TXTList");
        EXPECT_EQ(control<WholeNumberField>(*view, "GetFromEdit").text(), c.fromAfter);
        EXPECT_EQ(control<WholeNumberField>(*view, "GetToEdit").text(), c.toAfter);
        EXPECT_EQ(listings(), 1);
        EXPECT_EQ(listedMissions(), c.missions);
    }
}

TEST_F(PilotViewTest, EndAndZeroSetTheRangeEnds)
{
    ASSERT_EQ(view->ReadMission(pilotWithMissions(12)), 0);
    setRange(QStringLiteral("5"), QStringLiteral("7"));
    click(*view, "SetLastButton");
    EXPECT_EQ(control<WholeNumberField>(*view, "GetToEdit").text(), QStringLiteral("12"));
    EXPECT_EQ(control<WholeNumberField>(*view, "GetFromEdit").text(), QStringLiteral("5"));
    click(*view, "ZeroButton");
    EXPECT_EQ(control<WholeNumberField>(*view, "GetFromEdit").text(), QStringLiteral("0"));
    EXPECT_EQ(control<WholeNumberField>(*view, "GetToEdit").text(), QStringLiteral("12"));
}

TEST_F(PilotViewTest, GetMissionScoresTwiceAppendsTwoListingsGetEverythingLeavesOne)
{
    ASSERT_EQ(view->ReadMission(pilotWithMissions(6)), 0);
    const QString report = text();
    click(*view, "TXTList");
    click(*view, "TXTList");
    EXPECT_EQ(listings(), 3);
    EXPECT_TRUE(text().startsWith(report + QLatin1Char('\n')));

    click(*view, "GetAllButton");
    EXPECT_EQ(text(), report);
    click(*view, "GetAllButton");
    EXPECT_EQ(text(), report);
    EXPECT_EQ(listings(), 1);
}

TEST_F(PilotViewTest, ListingAfterTypedTextStartsOnALineOfItsOwn)
{
    ASSERT_EQ(view->ReadMission(pilotWithMissions(1)), 0);
    control<QTextEdit>(*view, "Memo1").setPlainText(QStringLiteral("my note"));
    click(*view, "TXTList");
    EXPECT_EQ(lines().mid(0, 2), (QStringList{QStringLiteral("my note"), kListingHeader}));
}

TEST_F(PilotViewTest, ListingAfterTypedTextEndingInALineBreakFollowsWithoutABlankLine)
{
    ASSERT_EQ(view->ReadMission(pilotWithMissions(1)), 0);
    control<QTextEdit>(*view, "Memo1").setPlainText(QStringLiteral("my note\n"));
    click(*view, "TXTList");
    EXPECT_EQ(lines().mid(0, 3),
              (QStringList{QStringLiteral("my note"), kListingHeader, QStringLiteral("1: Tot. Score= 100 (100+0)")}));
}

TEST_F(PilotViewTest, ClearTextKeepsTheTextOnNoAndEmptiesItOnYes)
{
    ASSERT_EQ(view->ReadMission(pilotWithMissions(3)), 0);
    const QString report = text();
    prompts.answers = {false, true};
    click(*view, "Button3");
    EXPECT_EQ(text(), report);
    click(*view, "Button3");
    EXPECT_TRUE(text().isEmpty());
    EXPECT_EQ(prompts.log, std::vector<std::string>(2, "Information: Clear text?"));

    click(*view, "TXTList");
    EXPECT_EQ(lines().first(), kListingHeader);
}

TEST_F(PilotViewTest, GetEverythingWithASettingThatIsNoNumberKeepsTheDialogAndTheEntry)
{
    ASSERT_EQ(view->ReadMission(pilotWithMissions(3)), 0);
    const QString entry = control<QLineEdit>(*view, "ExportEdit").text();
    setSetting(keys::ScoreFormat, "1.5");
    view->show();
    click(*view, "GetAllButton");
    EXPECT_EQ(prompts.log, std::vector<std::string>{"Error: '1.5' is not a valid integer value."});
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(control<QLineEdit>(*view, "ExportEdit").text(), entry);
    EXPECT_EQ(lines().size(), 5);
    EXPECT_EQ(lines().first(), QStringLiteral("Name: Tester"));
}

TEST_F(PilotViewTest, SettingsChangedApplyAtTheNextReport)
{
    ASSERT_EQ(view->ReadMission(pilotWithMissions(3)), 0);
    EXPECT_FALSE(text().contains(QStringLiteral("All other known details")));
    setSetting(keys::MegaDetails, "1");
    click(*view, "GetAllButton");
    EXPECT_TRUE(text().contains(QStringLiteral("All other known details")));
}

TEST_F(PilotViewTest, TheEntrysDateComesFromTheViewsClock)
{
    setSetting(keys::IncludeDate, "1");
    TPltFileView dated(
        prompts, [] {}, nullptr, systemFileAccess(), [] { return std::string("24.12.2026"); });
    const QString path = writePilot(QStringLiteral("Kestrel.plt"), {{1000, 500, 30}},
                                    [](PilotImage& pilot) { pilot.setText(layout::PilotName, "Kestrel"); });
    ASSERT_EQ(dated.ReadMission(path), 0);
    EXPECT_EQ(dated.exportEntry(), QStringLiteral("24.12.2026 Kestrel - Score: 0 (0+0)"));
    EXPECT_EQ(control<QLineEdit>(dated, "ExportEdit").text(), dated.exportEntry());
}

TEST_F(PilotViewTest, PilotNameTakesTwelveTypedCharactersOfTheGamesCodePage)
{
    view->show();
    control<QLineEdit>(*view, "PilotNameEdit").clear();
    typeText(control<QLineEdit>(*view, "PilotNameEdit"), QStringLiteral("Wedge Antilles"));
    EXPECT_EQ(control<QLineEdit>(*view, "PilotNameEdit").text(), QStringLiteral("Wedge Antill"));

    control<QLineEdit>(*view, "PilotNameEdit").clear();
    typeText(control<QLineEdit>(*view, "PilotNameEdit"), QString::fromUtf8("Lüke Ωmega€"));
    EXPECT_EQ(control<QLineEdit>(*view, "PilotNameEdit").text(), QString::fromUtf8("Lüke mega€"));

    // A thirteen-character name from a file may shrink but not grow again.
    ASSERT_EQ(
        view->ReadMission(writePilot(QStringLiteral("long.plt"), {},
                                     [](PilotImage& pilot) { pilot.setText(layout::PilotName, "ThirteenChars"); })),
        0);
    control<QLineEdit>(*view, "PilotNameEdit").end(false);
    typeText(control<QLineEdit>(*view, "PilotNameEdit"), QStringLiteral("x"));
    EXPECT_EQ(control<QLineEdit>(*view, "PilotNameEdit").text(), QStringLiteral("ThirteenChars"));
    pressKey(control<QLineEdit>(*view, "PilotNameEdit"), Qt::Key_Backspace);
    EXPECT_EQ(control<QLineEdit>(*view, "PilotNameEdit").text(), QStringLiteral("ThirteenChar"));
}

TEST_F(PilotViewTest, TheRangeFieldsStepAcrossTheWholeRangeAndKeepText)
{
    WholeNumberField& field = control<WholeNumberField>(*view, "GetFromEdit");
    field.setText(QStringLiteral("abc"));
    EXPECT_EQ(field.value(), 0);
    field.stepBy(1);
    EXPECT_EQ(field.text(), QStringLiteral("1"));
    field.stepBy(-3);
    EXPECT_EQ(field.text(), QStringLiteral("-2"));
    field.setValue(std::numeric_limits<std::int32_t>::max() - 1);
    field.stepBy(5);
    EXPECT_EQ(field.value(), std::numeric_limits<std::int32_t>::max());
    field.setValue(std::numeric_limits<std::int32_t>::min());
    field.stepBy(-1);
    EXPECT_EQ(field.value(), std::numeric_limits<std::int32_t>::min());
    field.setText(QStringLiteral("150"));
    pressKey(field, Qt::Key_Up);
    EXPECT_EQ(field.text(), QStringLiteral("151"));
}

TEST_F(PilotViewTest, TheTextWindowTakesTabsAndLinesUpTheKillTables)
{
    // Craft types whose names are narrow or wide for their number of tabs.
    const std::uint32_t crafts[] = {0, 16, 24, 72, 101, 126, 148, 173, 227, 230};
    const QString path = writePilot(QStringLiteral("kills.plt"), {{1, 1, 1}}, [&](PilotImage& pilot) {
        for (std::uint32_t craft : crafts) {
            pilot.setInt(layout::TODKillsA, 3, craft);
            pilot.setInt(layout::SimKillsA, 12345, craft);
        }
    });
    setSetting(keys::MegaDetails, "1");
    view->resize(1200, 800);
    view->show();
    ASSERT_EQ(view->ReadMission(path), 0);

    std::set<int> countColumns;
    std::set<int> secondColumns;
    std::size_t rows = 0;
    QTextEdit& memo = control<QTextEdit>(*view, "Memo1");
    for (QTextBlock block = memo.document()->begin(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        const qsizetype colon = line.indexOf(QStringLiteral("\t:"));
        const bool heading = line.startsWith(QStringLiteral("Shiptype:\t\t"));
        if (colon < 0 && !heading)
            continue;
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + (heading ? line.indexOf(QStringLiteral("Kills")) : colon + 1));
        countColumns.insert(memo.cursorRect(cursor).left());
        const qsizetype secondTab =
            line.indexOf(QLatin1Char('\t'), heading ? line.indexOf(QStringLiteral("Kills")) : colon + 1);
        cursor.setPosition(block.position() + secondTab + 1);
        secondColumns.insert(memo.cursorRect(cursor).left());
        ++rows;
    }
    EXPECT_EQ(rows, 4 + 2 * std::size(crafts));
    EXPECT_EQ(countColumns.size(), 1u) << "the counts do not start in one column";
    EXPECT_EQ(secondColumns.size(), 1u) << "the second column is ragged";

    memo.moveCursor(QTextCursor::End);
    memo.setFocus();
    pressKey(memo, Qt::Key_Tab, QStringLiteral("\t"));
    EXPECT_TRUE(memo.toPlainText().endsWith(QLatin1Char('\t')));
}

// The dialog as the main window opens it: shown modally after each load.
class PilotViewFocusTest : public WindowTest {
protected:
    // Makes the shown dialog the active window, as the window system does
    // for a dialog that opens.
    static void activate(QWidget& window)
    {
        window.activateWindow();
        for (int i = 0; i < 50 && !window.isActiveWindow(); ++i)
            QApplication::processEvents();
        ASSERT_TRUE(window.isActiveWindow());
    }
    static std::string nameOf(const QWidget* widget) { return widget ? widget->objectName().toStdString() : "<none>"; }
};

TEST_F(PilotViewFocusTest, TheTextWindowHasTheFocusAtEveryShowingAndAfterEveryLoad)
{
    ProgramWindows windows = start();
    TForm1& form = *windows.Form1;
    form.show();
    const QString first = writePilot(QStringLiteral("First.plt"), {{100, 0, 10}},
                                     [](PilotImage& pilot) { pilot.setText(layout::PilotName, "First"); });
    const QString second = writePilot(QStringLiteral("Second.plt"), {{100, 0, 10}, {200, 0, 20}},
                                      [](PilotImage& pilot) { pilot.setText(layout::PilotName, "Second"); });

    std::vector<std::string> focusAtShow;
    std::vector<std::string> focusAfterReload;
    modal.whileShown = [&](QDialog& dialog) {
        auto& view = static_cast<TPltFileView&>(dialog);
        activate(view);
        focusAtShow.push_back(nameOf(QApplication::focusWidget()));
        EXPECT_EQ(view.focusWidget(), &control<QTextEdit>(view, "Memo1"));

        // A key typed at once goes to the text window, not into the name
        // that Save writes.
        const QString name = control<QLineEdit>(view, "PilotNameEdit").text();
        if (QWidget* target = QApplication::focusWidget())
            typeText(*target, QStringLiteral("x"));
        EXPECT_EQ(control<QLineEdit>(view, "PilotNameEdit").text(), name);

        // The user goes to the name field; a load while the dialog is up
        // brings the focus back to the text window.
        control<QLineEdit>(view, "PilotNameEdit").setFocus(Qt::MouseFocusReason);
        ASSERT_EQ(view.ReadMission(second), 0);
        focusAfterReload.push_back(nameOf(QApplication::focusWidget()));
        // Closed with the focus in the name field, for the next showing.
        control<QLineEdit>(view, "PilotNameEdit").setFocus(Qt::MouseFocusReason);
    };

    prompts.files.push_back(first);
    click(form, "GetScoreButton");
    prompts.files.push_back(first);
    click(form, "GetScoreButton");
    EXPECT_EQ(modal.shown, (std::vector<std::string>{"PltFileView", "PltFileView"}));
    EXPECT_EQ(focusAtShow, (std::vector<std::string>{"Memo1", "Memo1"}));
    EXPECT_EQ(focusAfterReload, (std::vector<std::string>{"Memo1", "Memo1"}));
}

TEST_F(PilotViewFocusTest, ALoadBeforeTheFirstShowingLeavesTheFocusInTheTextWindow)
{
    ProgramWindows windows = start();
    TPltFileView& view = *windows.PltFileView;
    ASSERT_EQ(view.ReadMission(pilotWithMissions(2)), 0);
    view.show();
    activate(view);
    EXPECT_EQ(nameOf(QApplication::focusWidget()), "Memo1");
    view.hide();
}

// The drop-down boxes as the program shows them, in its own style.
class PilotViewBoxesTest : public WindowTest {};

TEST_F(PilotViewBoxesTest, ACutOffMissionTitleIsTheBoxsHintAndAWholeOneIsNot)
{
    ProgramWindows windows = start();
    TPltFileView& view = *windows.PltFileView;
    QComboBox& box = control<QComboBox>(view, "ActiveMissionBox");
    QStyleOptionComboBox option;
    option.initFrom(&box);
    const int room =
        box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &box).width() - 2;
    const QFontMetricsF metrics(box.font());
    int cut = 0;
    int whole = 0;
    for (int i = 0; i < box.count(); ++i) {
        box.setCurrentIndex(i);
        const bool fits = metrics.horizontalAdvance(box.itemText(i)) <= room;
        (fits ? whole : cut) += 1;
        EXPECT_EQ(box.toolTip(), fits ? QString() : box.itemText(i)) << box.itemText(i).toStdString();
    }
    EXPECT_GT(cut, 0);
    EXPECT_GT(whole, 0);

    // A load sets it too: the active mission after 25 completed ones has a
    // long title; no selection has no hint.
    ASSERT_EQ(view.ReadMission(pilotWithMissions(25)), 0);
    EXPECT_EQ(box.toolTip(), box.currentText());
    EXPECT_FALSE(box.toolTip().isEmpty());
    box.setCurrentIndex(-1);
    EXPECT_EQ(box.toolTip(), QString());
}

TEST_F(PilotViewBoxesTest, LongListsOpenTwentyRowsHighWithAScrollBarShortOnesShowEveryRow)
{
    ProgramWindows windows = start();
    TPltFileView& view = *windows.PltFileView;
    ASSERT_EQ(view.ReadMission(pilotWithMissions(21)), 0);
    view.show();
    struct Case {
        QComboBox* box;
        int rows;
        bool scrolls;
    };
    for (const Case& c :
         {Case{&control<QComboBox>(view, "ActiveMissionBox"), 20, true},
          Case{&control<QComboBox>(view, "RatingBox"), 20, true}, Case{&control<QComboBox>(view, "RankBox"), 9, false},
          Case{&control<QComboBox>(view, "KalidorBox"), 7, false}}) {
        SCOPED_TRACE(c.box->objectName().toStdString());
        c.box->showPopup();
        QAbstractItemView& list = *c.box->view();
        ASSERT_TRUE(list.isVisible());
        const int rowHeight = list.sizeHintForRow(0);
        ASSERT_GT(rowHeight, 0);
        const int rowsShown = list.viewport()->height() / rowHeight;
        EXPECT_EQ(rowsShown, c.rows);
        EXPECT_EQ(list.verticalScrollBar()->isVisible(), c.scrolls);
        // The list opens below the box and fits on the screen.
        const QRect popup(list.window()->geometry());
        EXPECT_GE(popup.top(), c.box->mapToGlobal(QPoint(0, 0)).y());
        EXPECT_TRUE(c.box->screen()->availableGeometry().contains(popup));
        // Every title can be read in full in the open list.
        for (int i = 0; i < c.box->count(); ++i)
            if (QFontMetricsF(list.font()).horizontalAdvance(c.box->itemText(i)) > list.viewport()->width()) {
                ADD_FAILURE() << "cut off in the list: " << c.box->itemText(i).toStdString();
                break;
            }
        c.box->hidePopup();
    }
    view.hide();
}

}  // namespace
}  // namespace vantrel::testing
