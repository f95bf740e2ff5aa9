// The windows' fixed layout: control names, places, hints and tab order, and
// that no caption is cut off in the fonts the windows use.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QWindow>
#include <QComboBox>
#include <QFontMetricsF>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTextEdit>

#include "GuiTestSupport.h"
#include "gui/mainwindow/MainLogEdit.h"
#include "gui/pilotview/PltFile.h"
#include "gui/settings/SettingsDlg.h"
#include "gui/support/FormSupport.h"
#include "gui/support/QtPrompts.h"
#include "gui/support/WindowPlace.h"

namespace vantrel::testing {
namespace {

struct Control {
    const char* name;
    QRect geometry;  // in the parent's coordinates
    const char* hint;
};

// A control's name; the items of a radio group, which have none, go by
// their group's name and their caption.
QString controlName(const QWidget& widget)
{
    if (widget.objectName().isEmpty())
        if (const auto* item = qobject_cast<const QRadioButton*>(&widget); item && item->parentWidget())
            return item->parentWidget()->objectName() + QStringLiteral(": ") + item->text();
    return widget.objectName();
}

QStringList tabChain(QWidget& window, QWidget* first)
{
    QStringList names;
    QWidget* widget = first;
    do {
        const QString name = controlName(*widget);
        if (widget->isVisibleTo(&window) && (widget->focusPolicy() & Qt::TabFocus) && !name.isEmpty() &&
            !name.startsWith(QStringLiteral("qt_")))
            names << name;
        widget = widget->nextInFocusChain();
    } while (widget != first && names.size() < 100);
    return names;
}

class WindowLayoutTest : public WindowTest {
protected:
    void expectControls(QWidget& window, const std::vector<Control>& controls)
    {
        for (const Control& control : controls) {
            SCOPED_TRACE(control.name);
            auto* widget = window.findChild<QWidget*>(QString::fromLatin1(control.name));
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->geometry(), control.geometry);
            EXPECT_EQ(widget->toolTip(), QString::fromUtf8(control.hint));
        }
    }

    // Text that needs more room than its control gives it.
    template <class Control>
    static QList<Control*> controlsOf(QWidget& window)
    {
        QList<Control*> controls;
        for (Control* control : window.findChildren<Control*>())
            if (control->window() == &window)
                controls << control;
        return controls;
    }

    static QStringList clippedCaptions(QWidget& window)
    {
        QStringList clipped;
        for (QAbstractButton* button : controlsOf<QAbstractButton>(window)) {
            if (button->text().isEmpty())
                continue;
            const int needed = button->fontMetrics().horizontalAdvance(button->text());
            // Check boxes and radio items: room right of the indicator.
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const bool indicator = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
            const QStyle::SubElement contents =
                qobject_cast<QCheckBox*>(button) ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
            if (indicator ? needed > button->style()->subElementRect(contents, &option, button).width()
                          // Room for the text inside the button's frame.
                          : needed + 8 > button->width())
                clipped << controlName(*button);
        }
        for (QLabel* label : controlsOf<QLabel>(window))
            if (QFontMetricsF(label->font()).horizontalAdvance(label->text()) > label->contentsRect().width())
                clipped << label->objectName();
        for (QGroupBox* group : controlsOf<QGroupBox>(window))
            if (QFontMetricsF(group->font()).horizontalAdvance(group->title()) + 8 > group->width())
                clipped << group->objectName();
        for (QComboBox* box : controlsOf<QComboBox>(window)) {
            QStyleOptionComboBox option;
            option.initFrom(box);
            const QRect field =
                box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
            QStringList rows{box->placeholderText()};
            // The mission titles are read in the wider drop-down list.
            for (int i = 0; i < box->count() && box->objectName() != QStringLiteral("ActiveMissionBox"); ++i)
                rows << box->itemText(i);
            for (const QString& row : rows)
                if (QFontMetricsF(box->font()).horizontalAdvance(row) > field.width()) {
                    clipped << box->objectName() + QStringLiteral(": ") + row;
                    break;
                }
        }
        return clipped;
    }
};

TEST_F(WindowLayoutTest, MainWindowControlsHintsAndTabOrder)
{
    ProgramWindows windows = start();
    TForm1& form = *windows.Form1;
    form.show();
    EXPECT_EQ(form.size(), QSize(688, 453));
    EXPECT_EQ(control<QFrame>(form, "Panel1").geometry(), QRect(0, 0, 111, 453));
    EXPECT_EQ(control<MainLogEdit>(form, "Memo1").geometry(), QRect(111, 0, 577, 453));
    EXPECT_EQ(control<MainLogEdit>(form, "Memo1").toolTip(), QStringLiteral("The main log"));
    EXPECT_EQ(control<MainLogEdit>(form, "Memo1").lineWrapMode(), QPlainTextEdit::WidgetWidth);
    expectControls(form,
                   {
                       {"GetScoreButton", {5, 10, 101, 31}, "Select a XWA .plt file to open"},
                       {"SaveButton", {5, 50, 101, 31}, ("Save the main log to: " + paths::defaultLogFile()).c_str()},
                       {"SaveAsButton", {5, 90, 101, 31}, "Save the main log to a new file"},
                       {"ClearButton", {5, 130, 101, 31}, "Clear the text window"},
                       {"ReviewButton", {5, 170, 101, 31}, "Check many pilot files in one table"},
                       {"Button1", {5, 220, 101, 31}, "Open the settings window"},
                       {"AboutButton", {5, 260, 101, 31}, "Info about this program"},
                       {"Button2", {5, 380, 101, 31}, "Save the main log and exit the program."},
                       {"ExitButton", {5, 415, 101, 31}, "Exit Vantrel"},
                   });
    const std::pair<const char*, const char*> captions[] = {
        {"GetScoreButton", "Open pilotfile"}, {"SaveButton", "Save log"}, {"SaveAsButton", "Save log as..."},
        {"ClearButton", "Clear text"},        {"Button1", "Settings"},    {"AboutButton", "About"},
        {"Button2", "Save log and Exit"},     {"ExitButton", "Exit"},     {"ReviewButton", "Review pilots..."}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(control<QPushButton>(form, name).text(), QString::fromLatin1(caption)) << name;

    EXPECT_EQ(tabChain(form, &control<MainLogEdit>(form, "Memo1")),
              QString("Memo1 GetScoreButton SaveButton SaveAsButton Button1 AboutButton ExitButton ClearButton Button2 "
                      "ReviewButton")
                  .split(' '));
}

TEST_F(WindowLayoutTest, PilotViewControlsHintsAndTabOrder)
{
    ProgramWindows windows = start();
    TPltFileView& view = *windows.PltFileView;
    EXPECT_EQ(view.size(), QSize(667, 307));
    expectControls(view,
                   {
                       {"Panel1", {0, 0, 316, 196}, ""},
                       {"GroupBox2", {1, 1, 195, 194}, ""},
                       {"GroupBox1", {196, 1, 118, 194}, ""},
                       {"GroupBox3", {0, 195, 316, 111}, ""},
                       {"Memo1", {315, 0, 351, 306}, "This is the text window."},
                       {"ExportEdit", {5, 20, 301, 21}, "This text will be exported to the log."},
                       {"Button1", {70, 50, 166, 46}, "Exports the above text to the mainlog and closes this window"},
                       {"PilotNameEdit", {64, 13, 127, 21}, ""},
                       {"ActiveMissionBox", {10, 40, 180, 20}, ""},
                       {"RankBox", {10, 67, 180, 21}, "Change the rank"},
                       {"RatingBox", {10, 92, 180, 21}, "Change the rating"},
                       {"KalidorBox", {10, 117, 180, 21}, "Change the status of the Kalidor Crescent"},
                       {"Button2", {60, 155, 75, 25}, "Saves the pilot details above the the .plt file"},
                       {"ShipTypes", {5, 145, 51, 42}, ""},
                       {"TXTList", {5, 80, 106, 25}, "Shows the mission details in the text window"},
                       {"GetFromEdit", {10, 30, 46, 22}, ""},
                       {"GetToEdit", {60, 30, 46, 22}, ""},
                       {"SetLastButton", {60, 55, 45, 21}, "Set \"To:\" to the last mission this pilot has completed"},
                       {"ZeroButton", {10, 55, 45, 21}, "Set \"From:\" to 0"},
                       {"Button3", {55, 165, 60, 25}, "Clears the textwindow"},
                       {"Button4", {5, 165, 51, 25}, "Open the settings window"},
                       {"GetAllButton", {5, 120, 106, 25}, ""},
                   });
    EXPECT_EQ(view.findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("From:         To:"));
    EXPECT_EQ(control<QGroupBox>(view, "GroupBox1").title(), QStringLiteral("Detailed output: "));
    EXPECT_EQ(control<QTextEdit>(view, "Memo1").lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_EQ(control<QTextEdit>(view, "Memo1").horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    view.show();
    EXPECT_EQ(tabChain(view, &control<QTextEdit>(view, "Memo1")),
              QString("Memo1 Button1 ExportEdit KalidorBox RatingBox RankBox ActiveMissionBox PilotNameEdit "
                      "Button2 TXTList GetFromEdit GetToEdit SetLastButton ZeroButton Button3 Button4 GetAllButton")
                  .split(' '));
}

TEST_F(WindowLayoutTest, SettingsDialogTabOrderWithEachRadioGroupOneStopAtItsChoice)
{
    ProgramWindows windows = start();
    TSettingsDlg& dialog = *windows.SettingsDlg;
    dialog.show();
    const QStringList before = {"OKBtn", "CancelBtn", "DirEdit", "SaveFileNameCheckBox",
                                // "Mission details view"
                                "ShowZeroCheckBox", "ShowTotalCheckBox", "ShowScoreCheckBox", "ShowTimeCheckBox",
                                "ShowBonusCheckBox", "CheatCheckBox", "DetaildErrorsCheckBox", "MegaDetailsCheckBox",
                                "Default1",
                                // "Main log score import format"
                                "IncludeDateCheckBox"};
    EXPECT_EQ(tabChain(dialog, &control<QPushButton>(dialog, "OKBtn")),
              before + QStringList({"NameSourceGroup: Truncate filename at first space or underscore",
                                    "ScoreFormatGroup: Total (Score + Bonus)", "LogFileEdit", "LogFileButton",
                                    "WatchFoldersCheckBox"}));
    control<RadioGroup>(dialog, "NameSourceGroup").setItemIndex(0);
    control<RadioGroup>(dialog, "ScoreFormatGroup").setItemIndex(-1);
    EXPECT_EQ(tabChain(dialog, &control<QPushButton>(dialog, "OKBtn")),
              before + QStringList({"NameSourceGroup: Name in .plt file", "ScoreFormatGroup: Total Score",
                                    "LogFileEdit", "LogFileButton", "WatchFoldersCheckBox"}));
    click(dialog, "CancelBtn");
}

TEST_F(WindowLayoutTest, NoCaptionIsCutOff)
{
    ProgramWindows windows = start();
    EXPECT_EQ(clippedCaptions(*windows.Form1), QStringList());
    EXPECT_EQ(clippedCaptions(*windows.PltFileView), QStringList());
    EXPECT_EQ(clippedCaptions(*windows.SettingsDlg), QStringList());
}

TEST(QtPromptsTest, FileFiltersInQtsForm)
{
    EXPECT_EQ(qtNameFilters(QStringLiteral("XWA Pilotfiles|*.plt|All files|*.*")),
              QStringLiteral("XWA Pilotfiles (*.plt);;All files (*)"));
    EXPECT_EQ(qtNameFilters(QStringLiteral("Logs|*.txt;*.log")), QStringLiteral("Logs (*.txt *.log)"));
    EXPECT_EQ(qtNameFilters(QString()), QString());
}

// Every window is kept inside the screen's available area, whatever its size
// in logical pixels at the scale factor in use: the area is handed in, so
// that any screen can be played offscreen.
TEST(KeepOnScreenTest, AWindowIsMovedAndIfNeedBeShrunkIntoTheAvailableArea)
{
    // A 1280-pixel screen with a panel at the bottom.
    const QRect screen(0, 0, 1280, 994);
    QWidget view(nullptr, Qt::Window);
    view.setFixedSize(667, 307);
    view.setGeometry(QRect(QPoint(900, 100), view.size()));  // its right edge at 1566
    keepOnScreen(view, screen);
    EXPECT_TRUE(screen.contains(view.geometry())) << view.geometry().x() << "," << view.geometry().y();
    EXPECT_EQ(view.geometry().right(), screen.right());
    EXPECT_EQ(view.geometry().top(), 100);  // moved no more than it must
    EXPECT_EQ(view.size(), QSize(667, 307));

    // At a scale factor of 1.5 the same screen is 853 by 662 logical pixels:
    // a window of 960 by 520 is made narrower rather than cut off.
    const QRect scaled(0, 0, 853, 662);
    QWidget review(nullptr, Qt::Window);
    review.setGeometry(0, 0, 960, 520);
    keepOnScreen(review, scaled);
    EXPECT_TRUE(scaled.contains(review.geometry()));
    EXPECT_EQ(review.width(), 853);
    EXPECT_EQ(review.height(), 520);

    // A screen whose area starts elsewhere (a second screen, a panel at the
    // left or top), and a window above and left of it.
    const QRect second(1280, 40, 1920, 1040);
    review.setGeometry(100, -30, 900, 500);
    keepOnScreen(review, second);
    EXPECT_EQ(review.geometry(), QRect(1280, 40, 900, 500));

    // A window that cannot be made small enough keeps its top left corner,
    // and so its title bar, on the screen.
    QWidget large(nullptr, Qt::Window);
    large.setMinimumSize(1000, 800);
    large.setGeometry(200, 200, 1000, 800);
    keepOnScreen(large, scaled);
    EXPECT_EQ(large.geometry().topLeft(), QPoint(0, 0));

    // Placing shrinks too, and never puts the corner off the screen.
    QWidget wide(nullptr, Qt::Window);
    wide.resize(QGuiApplication::primaryScreen()->availableGeometry().size() + QSize(300, 200));
    placeWindow(wide);
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(wide.geometry()));
}

TEST_F(WindowLayoutTest, ThePilotViewOpensInsideTheScreenEveryTime)
{
    ProgramWindows windows = start();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    for (int opening = 0; opening < 2; ++opening) {
        windows.PltFileView->show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(available.contains(windows.PltFileView->frameGeometry())) << opening;
        // The window manager puts it elsewhere, its corner at the screen's
        // centre: the rule brings it back onto the screen, the second time too.
        windows.PltFileView->windowHandle()->setPosition(available.center());
        QCoreApplication::processEvents();
        EXPECT_EQ(windows.PltFileView->size(), QSize(667, 307)) << opening;
        EXPECT_TRUE(available.contains(windows.PltFileView->frameGeometry()))
            << opening << ": " << windows.PltFileView->x() << "," << windows.PltFileView->y();
        windows.PltFileView->hide();
    }
    windows.Form1->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(available.contains(windows.Form1->frameGeometry()));
}

TEST_F(WindowLayoutTest, AWindowOpensBesideOrCentredOnItsOpenerAndLaterWhereItWas)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget opener(nullptr, Qt::Window);
    opener.setGeometry(available.left() + 50, available.top() + 50, 300, 200);
    opener.show();

    // Beside it where the screen has room, top edges level (the frame as
    // the opener's, the window not being framed yet).
    QCoreApplication::processEvents();
    const QMargins frame = opener.windowHandle()->frameMargins();
    QWidget beside(nullptr, Qt::Window);
    beside.resize(400, 300);
    placeWindow(beside, &opener);
    EXPECT_EQ(beside.geometry().topLeft(),
              QPoint(opener.frameGeometry().right() + 1 + frame.left(), opener.frameGeometry().top() + frame.top()));

    // Centred on it where there is no room either side, and a dialog always.
    opener.setGeometry(available.center().x() - 150, available.center().y() - 100, 300, 200);
    QWidget wide(nullptr, Qt::Window);
    wide.resize(available.width() - 100, 300);
    placeWindow(wide, &opener);
    EXPECT_EQ(wide.geometry().center(), opener.geometry().center());
    QDialog dialog;
    dialog.resize(200, 100);
    placeWindow(dialog, &opener);
    EXPECT_EQ(dialog.geometry().center(), opener.geometry().center());

    // A later showing keeps the place, made to fit the screen; a place given
    // before the first showing (a remembered one) counts as one.
    beside.setGeometry(available.right() - 100, available.top() + 20, 400, 300);
    placeWindow(beside, &opener);
    EXPECT_EQ(beside.geometry(), QRect(available.right() - frame.right() - 399, available.top() + 20, 400, 300));
    QWidget remembered(nullptr, Qt::Window);
    remembered.setGeometry(available.left() + 10, available.bottom() - 50, 200, 100);
    placeWindow(remembered, &opener);
    EXPECT_EQ(remembered.geometry(), QRect(available.left() + 10, available.bottom() - frame.bottom() - 99, 200, 100));

    // Shown, then moved off the screen by the window manager: put back.
    remembered.show();
    QCoreApplication::processEvents();
    remembered.windowHandle()->setPosition(available.right() - 20, available.top() + 40);
    QCoreApplication::processEvents();
    EXPECT_EQ(remembered.geometry(), QRect(available.right() - frame.right() - 199, available.top() + 40, 200, 100));
}

TEST_F(WindowLayoutTest, AnyWindowKeepsItsPlaceInItsOwnSectionOnceTheProgramsSectionIsThere)
{
    const WindowPlace place("SomeWindow");
    QWidget window;
    window.setGeometry(30, 40, 300, 200);
    // No program section yet: nothing is kept, so nothing comes back.
    place.remember(window, {{"Extra", "x"}});
    EXPECT_FALSE(place.restore(window));
    EXPECT_EQ(SettingsStore(paths::settingsFile()).ReadString("SomeWindow", "Left", "<absent>"), "<absent>");

    setSetting("LastDir", "/");
    place.remember(window, {{"Extra", "x"}});
    SettingsStore file(paths::settingsFile());
    EXPECT_EQ(file.ReadString("SomeWindow", "Left", ""), "30");
    EXPECT_EQ(file.ReadString("SomeWindow", "Height", ""), "200");
    QWidget again;
    ASSERT_TRUE(place.restore(again));
    EXPECT_EQ(again.geometry(), QRect(30, 40, 300, 200));
    EXPECT_EQ(place.value("Extra"), "x");
    EXPECT_FALSE(WindowPlace("OtherWindow").restore(again));

    // A place of no size, or one with a part missing, is no place.
    file.WriteString("SomeWindow", "Width", "0");
    EXPECT_FALSE(place.restore(again));
    file.WriteString("SomeWindow", "Width", "300");
    file.WriteString("SomeWindow", "Top", "");
    EXPECT_FALSE(place.restore(again));
    EXPECT_EQ(again.geometry(), QRect(30, 40, 300, 200));
}

}  // namespace
}  // namespace vantrel::testing
