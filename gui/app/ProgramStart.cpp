#include "gui/app/ProgramStart.h"

#include <QCoreApplication>

#include <optional>
#include <utility>

#include "gui/about/About.h"
#include "gui/about/Splash.h"
#include "gui/app/ReviewHooks.h"
#include "gui/mainwindow/MainUnit.h"
#include "gui/pilotview/PltFile.h"
#include "gui/review/ReviewWindow.h"
#include "gui/settings/SettingsDlg.h"
#include "gui/watcher/PilotFolderWatcher.h"

ProgramWindows::ProgramWindows(vantrel::Prompts& prompts, const QStringList& arguments, vantrel::ModalShow showModal,
                               vantrel::mainlog::LogFileAccess& logFiles)
      : prompts_(prompts), showModal_(std::move(showModal))
{
    vantrel::applyProgramStyle();

    // 1. The splash screen, on screen while the rest is built.
    SplashForm = std::make_unique<TSplashForm>();
    SplashForm->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    SplashForm->repaint();

    // 2. The application title.
    QCoreApplication::setApplicationName(QString::fromLatin1(vantrel::kApplicationTitle));

    // 3. The windows, main window first. No hook runs while the main window
    // is being created; each window it reaches exists before it is shown.
    TForm1::Hooks hooks;
    hooks.showPilot = [this](const QString& fileName) -> std::optional<QString> {
        if (PltFileView->ReadMission(fileName) != 0)
            return std::nullopt;
        showModal_(*PltFileView);
        return PltFileView->exportEntry();
    };
    hooks.showSettings = [this] { showModal_(*SettingsDlg); };
    hooks.showAbout = [this] { showModal_(*AboutBox); };
    hooks.showReview = [this] { showReview(); };
    hooks.closeSplash = [this] { SplashForm->close(); };
    hooks.lastDirChanged = [this] { PilotWatcher->followSetting(); };
    Form1 = std::make_unique<TForm1>(prompts, std::move(hooks), logFiles);
    TForm1* form = Form1.get();

    // Watching the game's pilot folders, when it is switched on.
    PilotWatcher = new PilotFolderWatcher(
        form, prompts, [form](const QString& entry) { form->appendLogLine(entry); },
        [form] { return form->lastLogLine(); });
    PilotWatcher->followSetting();

    SettingsDlg = new TSettingsDlg(prompts, form);
    AboutBox = new TAboutBox(prompts, form);
    PltFileView = new TPltFileView(
        prompts, [this] { showModal_(*SettingsDlg); }, form);
    // Watching starts or stops as soon as the settings are stored.
    QObject::connect(SettingsDlg, &TSettingsDlg::settingsStored, PilotWatcher, &PilotFolderWatcher::followSetting);

    // The command-line open needs the pilot view, so it waits until every
    // window exists; the main window is not shown yet.
    form->openFromCommandLine(arguments);
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::showReview()
{
    if (!ReviewWindow) {
        TForm1* form = Form1.get();
        TReviewWindow::Hooks hooks;
        hooks.openPilot = [form](const QString& fileName) { form->openNamedFile(fileName); };
        hooks.appendLogLine = [form](const QString& line) { form->appendLogLine(line); };
        openChartsAndBackups(hooks, prompts_);
        ReviewWindow = new TReviewWindow(prompts_, std::move(hooks), form);
    }
    ReviewWindow->show();
    ReviewWindow->raise();
    ReviewWindow->activateWindow();
}
