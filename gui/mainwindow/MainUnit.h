// The main window: the main log and the buttons from which everything else
// is reached. Also the program's start-up, which builds the five windows.
#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>

#include "core/mainlog/MainLogFile.h"
#include "gui/support/FormSupport.h"
#include "gui/support/Prompts.h"

class MainLogEdit;
class QFrame;
class QPushButton;
class PilotFolderWatcher;
class TAboutBox;
class TPltFileView;
class TReviewWindow;
class TSettingsDlg;
class TSplashForm;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Creating the window runs its creation step (FormCreate).
    explicit TForm1(vantrel::Prompts& prompts, QWidget* parent = nullptr);
    ~TForm1() override;

    MainLogEdit* Memo1;  // the main log
    QFrame* Panel1;
    QPushButton* GetScoreButton;
    QPushButton* ExitButton;
    QPushButton* Button1;
    QPushButton* SaveButton;
    QPushButton* ClearButton;
    QPushButton* AboutButton;
    QPushButton* SaveAsButton;
    QPushButton* Button2;
    QPushButton* ReviewButton;
    // The file dialogs keep their state between uses, as the user sees it.
    vantrel::Prompts::FileRequest OpenDialog1;
    vantrel::Prompts::FileRequest SaveDialog1;

    // The program's other windows, set at start-up once they exist.
    TSplashForm* SplashForm = nullptr;
    TSettingsDlg* SettingsDlg = nullptr;
    TAboutBox* AboutBox = nullptr;
    TPltFileView* PltFileView = nullptr;
    // Made when first asked for; belongs to this window.
    TReviewWindow* ReviewWindow = nullptr;

    // Offers the entry of each pilot the game saves, while that is switched on.
    PilotFolderWatcher* PilotWatcher = nullptr;

    // How the pilot view, the settings dialog and the about box are shown.
    vantrel::ModalShow showModal = vantrel::execModal;

    // Creation step 6: a file named on the command line pre-fills the open
    // dialog, which is then shown. Further arguments are ignored.
    void openFromCommandLine(const QStringList& arguments);

    // The main log's modified flag.
    bool isLogModified() const;
    // Adds one line at the very end of the main log and sets the flag.
    void appendLogLine(const QString& line);

    // Handlers.
    void GetScoreButtonClick();
    void SaveButtonClick();
    void SaveAsButtonClick();
    void ClearButtonClick();
    void Button1Click();
    void AboutButtonClick();
    void Button2Click();
    void ExitButtonClick();
    void ReviewButtonClick();

signals:
    // The window has closed: the close step let it go, and the run ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class SaveOutcome { Written, Cancelled, Failed };

    void createControls();
    void keepButtonsVisible();
    void FormCreate();
    void FormShow();
    // Whether the window may close.
    bool FormClose();

    void runOpenDialog();
    void openChosenFile(const QString& fileName);
    // The open flow for a file named without the open dialog.
    void openNamedFile(const QString& fileName);
    // Writes the log to the file; a file that could not be loaded or that
    // another program changed since is replaced only when the user agrees.
    bool writeLog(const QString& fileName);
    SaveOutcome saveLogAs();
    QString configuredLogFile();

    vantrel::Prompts& prompts_;
    // The log files loaded or written during this run, as we saw them.
    vantrel::mainlog::KnownFiles knownLogs_;
};

// The five windows of a run, created in start-up order. The dialogs belong to
// the main window.
struct ProgramWindows {
    std::unique_ptr<TSplashForm> SplashForm;
    std::unique_ptr<TForm1> Form1;
    TSettingsDlg* SettingsDlg = nullptr;
    TAboutBox* AboutBox = nullptr;
    TPltFileView* PltFileView = nullptr;

    ProgramWindows();
    ProgramWindows(ProgramWindows&&) noexcept;
    ~ProgramWindows();
};

// Start-up up to the point where the main window is shown: the splash screen
// on screen, the application title, the windows in order (the main window's
// creation step included) and the command-line open. `showModal` is how every
// window shows another one modally from then on.
ProgramWindows startProgram(vantrel::Prompts& prompts, const QStringList& arguments,
                            const vantrel::ModalShow& showModal = vantrel::execModal);
