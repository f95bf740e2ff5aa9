// Vantrel: a desktop tool for X-Wing Alliance pilot files.
#include <QApplication>

#include "gui/MainUnit.h"
#include "gui/ProgramResources.h"
#include "gui/QtPrompts.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    vantrel::applyDesktopIdentity();
    // The run ends when the main window closes, not with some other window.
    app.setQuitOnLastWindowClosed(false);

    vantrel::QtPrompts prompts;
    ProgramWindows windows = startProgram(prompts, QApplication::arguments());
    QObject::connect(windows.Form1.get(), &TForm1::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    windows.Form1->show();
    return app.exec();
}
