// Vantrel: a desktop tool for X-Wing Alliance pilot files.
#include <QApplication>

#include "gui/app/ProgramStart.h"
#include "gui/mainwindow/MainUnit.h"
#include "gui/support/ProgramResources.h"
#include "gui/support/QtPrompts.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    vantrel::applyDesktopIdentity();
    // The run ends when the main window closes, not with some other window.
    app.setQuitOnLastWindowClosed(false);

    vantrel::QtPrompts prompts;
    ProgramWindows windows(prompts, QApplication::arguments());
    QObject::connect(windows.Form1.get(), &TForm1::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    windows.Form1->show();
    return app.exec();
}
