// Start-up: the one place that creates the program's windows and wires them
// together. Each window is made once; the main window reaches the others only
// through the hooks given here.
#pragma once

#include <QStringList>

#include <memory>

#include "core/mainlog/LogFileAccess.h"
#include "gui/support/FormSupport.h"
#include "gui/support/Prompts.h"

class PilotFolderWatcher;
class TAboutBox;
class TForm1;
class TPltFileView;
class TReviewWindow;
class TSettingsDlg;
class TSplashForm;

// The windows of a run. Creating it is start-up up to the point where the
// main window is shown: the splash screen on screen, the application title,
// the windows in order (the main window's creation step included) and the
// command-line open. `showModal` is how every window shows another one
// modally from then on; `logFiles` is how the main window reaches its log
// files. The hooks point into this object, so it stays where it was made.
class ProgramWindows {
public:
    ProgramWindows(vantrel::Prompts& prompts, const QStringList& arguments,
                   vantrel::ModalShow showModal = vantrel::execModal,
                   vantrel::mainlog::LogFileAccess& logFiles = vantrel::mainlog::systemLogFileAccess());
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    std::unique_ptr<TSplashForm> SplashForm;
    std::unique_ptr<TForm1> Form1;
    // These belong to the main window.
    TSettingsDlg* SettingsDlg;
    TAboutBox* AboutBox;
    TPltFileView* PltFileView;
    // Offers the entry of each pilot the game saves, while that is switched on.
    PilotFolderWatcher* PilotWatcher;
    // Made when first asked for.
    TReviewWindow* ReviewWindow = nullptr;

private:
    void showReview();

    vantrel::Prompts& prompts_;
    vantrel::ModalShow showModal_;
};
