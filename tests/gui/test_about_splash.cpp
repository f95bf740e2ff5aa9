// The about box and the splash screen: what they show, how their links and
// keys behave, and when the splash screen is on screen.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "core/Version.h"
#include "gui/about/About.h"
#include "gui/mainwindow/MainUnit.h"
#include "gui/support/ProgramResources.h"
#include "gui/about/Splash.h"

namespace vantrel::testing {
namespace {

// Records the links handed to the desktop; nothing else is expected.
class LinkPrompts final : public Prompts {
public:
    std::vector<QString> urls;
    bool askYesNo(QWidget*, Kind, const QString& text, Default) override
    {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    void tell(QWidget*, Kind, const QString& text, const QString&) override
    {
        ADD_FAILURE() << "unexpected message: " << text.toStdString();
    }
    std::optional<QString> chooseOpenFile(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> chooseSaveFile(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QStringList> chooseOpenFiles(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> chooseFolder(QWidget*, const FileRequest&) override { return std::nullopt; }
    void openUrl(const QString& url) override { urls.push_back(url); }
};

void mouse(QWidget& target, QEvent::Type type, QPoint at, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), QPointF(target.mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

void mouseClick(QWidget& target, Qt::MouseButton button = Qt::LeftButton)
{
    const QPoint centre = target.rect().center();
    mouse(target, QEvent::MouseButtonPress, centre, button);
    mouse(target, QEvent::MouseButtonRelease, centre, button);
}

// The key goes to the widget with the focus and, when that one leaves it, to
// its parents, as a key typed by the user does.
void typeKey(QWidget& window, int key)
{
    QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
    pressKey(*target, key);
}

class AboutBoxTest : public ::testing::Test {
protected:
    LinkPrompts prompts;
    TAboutBox box{prompts};
};

TEST_F(AboutBoxTest, VersionReadsBuildUntilShownThenTheBuildDateAtEveryShowing)
{
    EXPECT_EQ(control<QLabel>(box, "Version").text(), QStringLiteral("Build"));
    box.show();
    EXPECT_EQ(control<QLabel>(box, "Version").text(),
              QStringLiteral("Build ") + QString::fromLatin1(vantrel::kBuildDate));
    box.hide();
    control<QLabel>(box, "Version").setText(QStringLiteral("Build"));
    box.show();
    EXPECT_EQ(control<QLabel>(box, "Version").text(),
              QStringLiteral("Build ") + QString::fromLatin1(vantrel::kBuildDate));
}

TEST_F(AboutBoxTest, LinkLabelsOpenTheirTargetsOnAClickAndLeaveTheBoxOpen)
{
    box.show();
    mouseClick(control<QLabel>(box, "MailLabel1"));
    mouseClick(control<QLabel>(box, "AuthorLabel"));
    mouseClick(control<QLabel>(box, "ClubLabel"));
    ASSERT_EQ(prompts.urls.size(), 3u);
    EXPECT_EQ(prompts.urls[0], QStringLiteral("mailto:") + control<QLabel>(box, "MailLabel1").text());
    EXPECT_EQ(prompts.urls[1], QString::fromLatin1(credits::kAuthorPage));
    EXPECT_EQ(prompts.urls[2], QString::fromLatin1(credits::kClubPage));
    EXPECT_TRUE(prompts.urls[1].startsWith(QStringLiteral("https://")));
    EXPECT_TRUE(prompts.urls[2].startsWith(QStringLiteral("https://")));
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(box.result(), 0);

    // Only a left click that is released over the label counts.
    QLabel& club = control<QLabel>(box, "ClubLabel");
    mouseClick(club, Qt::RightButton);
    mouse(club, QEvent::MouseButtonPress, club.rect().center(), Qt::LeftButton);
    mouse(club, QEvent::MouseButtonRelease, QPoint(-20, -20), Qt::LeftButton);
    EXPECT_EQ(prompts.urls.size(), 3u);
}

TEST_F(AboutBoxTest, LinkLabelsNameTheAuthorAndTheClubAndLookLikeLinks)
{
    EXPECT_EQ(control<QLabel>(box, "MailLabel1").text(), QString::fromLatin1(credits::kAuthorMail));
    EXPECT_EQ(control<QLabel>(box, "AuthorLabel").text(), QString::fromLatin1(credits::kAuthorName));
    QLabel& club = control<QLabel>(box, "ClubLabel");
    EXPECT_EQ(club.text(), QString::fromLatin1(credits::kClubName) + QStringLiteral(" rocks!"));
    for (QLabel* link : {&control<QLabel>(box, "MailLabel1"), &control<QLabel>(box, "AuthorLabel"), &club}) {
        SCOPED_TRACE(link->objectName().toStdString());
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
    // "Programmed by:" is followed by the author's name, the address under both.
    EXPECT_LT(control<QLabel>(box, "CreditLabel").geometry().right(), control<QLabel>(box, "AuthorLabel").x());
    EXPECT_EQ(control<QLabel>(box, "CreditLabel").y(), control<QLabel>(box, "AuthorLabel").y());
    EXPECT_GT(control<QLabel>(box, "MailLabel1").y(), control<QLabel>(box, "CreditLabel").geometry().bottom());
    // The club name fits its fixed label on one line.
    EXPECT_LE(club.fontMetrics().horizontalAdvance(club.text()), club.width());
}

TEST_F(AboutBoxTest, EscapeLeavesTheBoxOpenEnterOkAndTheTitleBarCloseIt)
{
    box.show();
    EXPECT_EQ(box.focusWidget(), &control<QPushButton>(box, "OKButton"));
    EXPECT_TRUE(control<QPushButton>(box, "OKButton").isDefault());
    typeKey(box, Qt::Key_Escape);
    EXPECT_TRUE(box.isVisible());

    typeKey(box, Qt::Key_Return);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);

    box.show();
    click(box, "OKButton");
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);

    box.show();
    EXPECT_TRUE(box.close());
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Rejected);
}

TEST_F(AboutBoxTest, WindowIsAFixedBoxCentredOnTheScreen)
{
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(box.minimumSize(), QSize(400, 399));
    EXPECT_EQ(box.maximumSize(), QSize(400, 399));
    box.show();
    const QPoint offset = box.frameGeometry().center() - box.screen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 1) << offset.x() << "," << offset.y();
}

// The picture at its own size from the top-left corner, the labels drawn over
// it without a background of their own, the button over everything.
TEST_F(AboutBoxTest, PictureLiesUnderTransparentLabelsAndTheButton)
{
    ASSERT_FALSE(control<QLabel>(box, "Image1").pixmap().isNull());
    EXPECT_EQ(control<QLabel>(box, "Image1").pixmap().size(), QSize(400, 400));
    EXPECT_FALSE(control<QLabel>(box, "Image1").hasScaledContents());
    for (const char* name :
         {"OKButton", "MailLabel1", "CreditLabel", "ClubLabel", "Version", "Label1", "AuthorLabel"}) {
        SCOPED_TRACE(name);
        QWidget& shown = control(box, name);
        EXPECT_EQ(box.childAt(shown.geometry().center()), &shown);
    }

    box.show();
    const QImage shown = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = control<QLabel>(box, "Image1").pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    // Blank corners of two labels show the picture through.
    for (const QPoint at : {QPoint(58, 143), QPoint(7, 317)})
        EXPECT_EQ(shown.pixel(at), picture.pixel(at)) << at.x() << "," << at.y();
    // The title is silver, in a bold serif face.
    EXPECT_EQ(control<QLabel>(box, "Label1").palette().color(QPalette::WindowText), QColor(0xc0, 0xc0, 0xc0));
    EXPECT_TRUE(QFontInfo(control<QLabel>(box, "Label1").font()).bold());
    EXPECT_EQ(QFontInfo(control<QLabel>(box, "Label1").font()).styleHint(), QFont::Serif);
    EXPECT_EQ(QFontInfo(control<QLabel>(box, "Label1").font()).pixelSize(), 24);
}

TEST(SplashFormTest, ShowsTheEmblemFramelessWithLoadingDrawnOverIt)
{
    TSplashForm splash;
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.size(), QSize(150, 150));
    EXPECT_EQ(splash.pos(), QPoint(392, 266));
    ASSERT_FALSE(control<QLabel>(splash, "Image1").pixmap().isNull());
    EXPECT_EQ(control<QLabel>(splash, "Image1").pixmap().size(), QSize(150, 150));
    EXPECT_EQ(control<QLabel>(splash, "Label1").text(), QStringLiteral("Loading..."));
    QLabel& loading = control<QLabel>(splash, "Label1");
    EXPECT_EQ(splash.childAt(loading.geometry().center()), &loading);

    splash.show();
    const QImage shown = splash.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = control<QLabel>(splash, "Image1").pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(2, 132), picture.pixel(2, 132));
    // The text itself is drawn: the strip differs from the bare picture.
    EXPECT_NE(shown.copy(0, 130, 150, 13), picture.copy(0, 130, 150, 13));
}

// Sees, at the moment the open dialog would appear, whether the splash
// screen is on screen; then cancels the dialog.
class SplashWatchingPrompts final : public Prompts {
public:
    int splashesOnScreen = -1;
    bool askYesNo(QWidget*, Kind, const QString&, Default) override { return false; }
    void tell(QWidget*, Kind, const QString&, const QString&) override {}
    std::optional<QString> chooseOpenFile(QWidget*, const FileRequest&) override
    {
        splashesOnScreen = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<TSplashForm*>(window) && window->isVisible())
                ++splashesOnScreen;
        return std::nullopt;
    }
    std::optional<QString> chooseSaveFile(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QStringList> chooseOpenFiles(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> chooseFolder(QWidget*, const FileRequest&) override { return std::nullopt; }
    void openUrl(const QString&) override {}
};

class SplashStartUpTest : public WindowTest {};

TEST_F(SplashStartUpTest, SplashIsOnScreenDuringTheCommandLineOpenAndGoneForGoodOnceTheMainWindowShows)
{
    SplashWatchingPrompts watcher;
    ProgramWindows windows(watcher, {QStringLiteral("vantrel"), homePath(QStringLiteral("Joe.plt"))}, modal.show());
    EXPECT_EQ(watcher.splashesOnScreen, 1);
    ASSERT_TRUE(windows.SplashForm);
    EXPECT_TRUE(windows.SplashForm->isVisible());

    windows.Form1->show();
    EXPECT_FALSE(windows.SplashForm->isVisible());
    windows.Form1->hide();
    windows.Form1->show();
    EXPECT_FALSE(windows.SplashForm->isVisible());
}

TEST_F(SplashStartUpTest, AboutButtonShowsTheBoxWithTheBuildDate)
{
    ProgramWindows windows = start();
    QString versionWhileShown;
    modal.whileShown = [&](QDialog& dialog) {
        if (auto* about = qobject_cast<TAboutBox*>(&dialog))
            versionWhileShown = control<QLabel>(*about, "Version").text();
    };
    windows.Form1->show();
    click(*windows.Form1, "AboutButton");
    EXPECT_EQ(versionWhileShown, QStringLiteral("Build ") + QString::fromLatin1(vantrel::kBuildDate));
    EXPECT_EQ(modal.shown, std::vector<std::string>{"AboutBox"});
}

}  // namespace
}  // namespace vantrel::testing
