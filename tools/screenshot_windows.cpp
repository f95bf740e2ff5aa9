// Saves pictures of the program's windows for the documentation: the main
// window, the settings dialog, the pilot view with a pilot loaded, with the
// default settings and with the full details report on, the review
// window with the REVIEW files and folders loaded, and its chart window
// with the first pilot's missions and with the squadron chart of the review.
//
//   vantrel_screenshots PILOT.plt OUTPUT_DIR [REVIEW...]
//
// The program runs as a user would see it; only the answers to its file
// dialogs are given here: each open dialog is answered with the file it
// offers, each question with No.
//
// Under a window manager it also checks that the about box opens at the
// same place each time, its first showing included, and fails if not.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFrame>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>

#include "gui/app/ProgramStart.h"
#include "gui/pilotview/PltFile.h"
#include "core/settings/SettingsKeys.h"
#include "gui/about/About.h"
#include "gui/charts/ChartWindow.h"
#include "gui/mainwindow/MainUnit.h"
#include "gui/review/ReviewWindow.h"
#include "gui/about/Splash.h"
#include "gui/support/ProgramSettings.h"

namespace {

class AcceptingPrompts final : public vantrel::Prompts {
public:
    bool askYesNo(QWidget*, Kind, const QString& text, Default) override
    {
        std::fprintf(stderr, "question: %s -> No\n", qPrintable(text));
        return false;
    }
    void tell(QWidget*, Kind, const QString& text, const QString&) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    std::optional<QString> chooseOpenFile(QWidget*, const FileRequest& request) override
    {
        if (request.fileName.isEmpty())
            return std::nullopt;
        return QFileInfo(request.fileName).absoluteFilePath();
    }
    std::optional<QString> chooseSaveFile(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QStringList> chooseOpenFiles(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> chooseFolder(QWidget*, const FileRequest&) override { return std::nullopt; }
    void openUrl(const QString&) override {}
};

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Lets the window system and the window manager catch up for a while.
void settleFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}

// Shows a window and returns where its frame ends up once the window
// manager has framed it; an empty rectangle when no frame appears.
QRect frameWhenShown(QWidget& window)
{
    window.show();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3000 && (!window.windowHandle() || window.windowHandle()->frameMargins().isNull()))
        settleFor(20);
    settleFor(300);
    const bool framed = window.windowHandle() && !window.windowHandle()->frameMargins().isNull();
    const QRect frame = window.frameGeometry();
    window.hide();
    settleFor(300);
    return framed ? frame : QRect();
}

// The about box at each showing: the same place, its first showing included.
bool aboutBoxStaysPut(QWidget& about)
{
    QList<QRect> frames;
    for (int i = 0; i < 3; ++i)
        frames << frameWhenShown(about);
    if (frames.first().isNull()) {
        std::fprintf(stderr, "about box: no window manager frame, so its place was not checked\n");
        return true;
    }
    for (const QRect& frame : frames)
        std::fprintf(stderr, "about box: frame at %d,%d size %dx%d\n", frame.x(), frame.y(), frame.width(),
                     frame.height());
    if (frames.count(frames.first()) != frames.size()) {
        std::fprintf(stderr, "about box: FAILED, it opens at different places\n");
        return false;
    }
    return true;
}

bool save(QWidget& window, const QString& path)
{
    settle();
    const bool saved = window.grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// Scrolls the text window so that the line starting with `text` is the top line.
void scrollTo(QTextEdit& window, const QString& text)
{
    const QTextCursor found = window.document()->find(text);
    if (found.isNull())
        return;
    window.moveCursor(QTextCursor::End);
    QTextCursor start(window.document());
    start.setPosition(found.selectionStart());
    window.setTextCursor(start);
    window.ensureCursorVisible();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: vantrel_screenshots PILOT.plt OUTPUT_DIR [REVIEW.plt...]\n");
        return 2;
    }
    const QDir out(arguments.at(2));
    bool ok = true;
    QString nextPicture = out.filePath(QStringLiteral("pilot-view.png"));
    QString scrollTarget;

    AcceptingPrompts prompts;
    auto showAndGrab = [&](QDialog& dialog) {
        dialog.show();
        settle();
        if (auto* view = qobject_cast<TPltFileView*>(&dialog); view && !scrollTarget.isEmpty())
            scrollTo(*view->findChild<QTextEdit*>(QStringLiteral("Memo1")), scrollTarget);
        ok = save(dialog, nextPicture) && ok;
        dialog.close();
        return static_cast<int>(QDialog::Rejected);
    };

    ProgramWindows windows(prompts, {arguments.at(0), arguments.at(1)}, showAndGrab);
    TForm1& form = *windows.Form1;
    // A button of the main window's panel, clicked as the user does.
    const auto click = [&form](const char* name) {
        form.findChild<QFrame*>(QStringLiteral("Panel1"), Qt::FindDirectChildrenOnly)
            ->findChild<QPushButton*>(QString::fromLatin1(name))
            ->click();
    };
    form.show();
    ok = save(form, out.filePath(QStringLiteral("main-window.png"))) && ok;

    ok = aboutBoxStaysPut(*windows.AboutBox) && ok;
    windows.AboutBox->show();
    settle();
    ok = save(*windows.AboutBox, out.filePath(QStringLiteral("about-box.png"))) && ok;
    windows.AboutBox->hide();
    windows.SplashForm->show();
    settle();
    ok = save(*windows.SplashForm, out.filePath(QStringLiteral("splash.png"))) && ok;
    windows.SplashForm->hide();

    // The settings dialog, as the main window's "Settings" button shows it.
    nextPicture = out.filePath(QStringLiteral("settings.png"));
    click("Button1");

    vantrel::programSettings().write(vantrel::keys::MegaDetails, "1");
    nextPicture = out.filePath(QStringLiteral("pilot-view-full-details.png"));
    scrollTarget = QStringLiteral("TOD Kill details A");
    click("GetScoreButton");

    nextPicture = out.filePath(QStringLiteral("pilot-view-combat-sim.png"));
    scrollTarget = QStringLiteral("Combat sim. kill details");
    click("GetScoreButton");

    // The review window, as "Review pilots..." opens it, once every file is read.
    vantrel::programSettings().write(vantrel::keys::MegaDetails, "0");
    click("ReviewButton");
    TReviewWindow& review = *windows.ReviewWindow;
    review.resize(1270, 440);  // wide enough for most of the columns, high enough for the squadron
    review.addPaths(arguments.mid(3));
    QElapsedTimer loading;
    loading.start();
    while (review.isLoading() && loading.elapsed() < 30000)
        settleFor(20);
    settleFor(300);
    ok = !review.isLoading() && save(review, out.filePath(QStringLiteral("review.png"))) && ok;

    // The chart window, as the review window's Charts button opens it: for
    // the sample pilot, then for the squadron as the table shows it.
    const auto charts = [&](const QString& picture) {
        const QList<TChartWindow*> before = review.findChildren<TChartWindow*>();
        review.findChild<QPushButton*>(QStringLiteral("ChartsButton"))->click();
        for (TChartWindow* window : review.findChildren<TChartWindow*>()) {
            if (before.contains(window))
                continue;
            window->show();  // at the size that fits its chart
            window->resize(window->width(), std::min(window->height(), 640));
            settleFor(300);
            ok = save(*window, out.filePath(picture)) && ok;
            window->close();
            return;
        }
        std::fprintf(stderr, "no chart window for %s\n", qPrintable(picture));
        ok = false;
    };
    auto* table = review.findChild<QTableView*>(QStringLiteral("PilotTable"));
    table->selectRow(0);  // the first pilot as the table shows it
    charts(QStringLiteral("chart-missions.png"));
    table->clearSelection();
    charts(QStringLiteral("chart-squadron.png"));
    review.close();

    return ok ? 0 : 1;
}
