// The main window: the main log and the buttons from which everything else
// is reached.
#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

#include "core/mainlog/KnownFiles.h"
#include "core/mainlog/LogFileAccess.h"
#include "gui/support/Prompts.h"

class MainLogEdit;
class QFrame;
class QPushButton;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // The rest of the program, as the main window reaches it; start-up
    // gives one of each.
    struct Hooks {
        // Loads a pilot file into the pilot view and shows it modally;
        // returns the entry the view was closed with, nothing when the file
        // did not load (its messages already shown).
        std::function<std::optional<QString>(const QString& fileName)> showPilot;
        // Shows the settings dialog, the about box, the review window.
        std::function<void()> showSettings;
        std::function<void()> showAbout;
        std::function<void()> showReview;
        // The window is being shown: the splash screen goes.
        std::function<void()> closeSplash;
        // The open flow stored a new LastDir, the start of the open dialog.
        std::function<void()> lastDirChanged;
    };

    // Creating the window runs its creation step (FormCreate). The main log
    // is looked at, read and written through `logFiles`.
    TForm1(vantrel::Prompts& prompts, Hooks hooks, vantrel::mainlog::LogFileAccess& logFiles,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // Creation step 6: a file named on the command line pre-fills the open
    // dialog, which is then shown. Further arguments are ignored.
    void openFromCommandLine(const QStringList& arguments);
    // The open flow for a file named without the open dialog (dropped on the
    // window, picked in the review window).
    void openNamedFile(const QString& fileName);

    // The main log's modified flag.
    bool isLogModified() const;
    // Adds one line at the very end of the main log and sets the flag.
    void appendLogLine(const QString& line);
    // The log's last line, blank lines at its end passed over.
    QString lastLogLine() const;

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

    void createControls();
    void keepButtonsVisible();
    void FormCreate();
    void FormShow();
    // Whether the window may close.
    bool FormClose();

    void runOpenDialog();
    void openChosenFile(const QString& fileName);
    // Writes the log to the file; a file that could not be loaded or that
    // another program changed since is replaced only when the user agrees.
    bool writeLog(const QString& fileName);
    SaveOutcome saveLogAs();
    QString configuredLogFile();

    vantrel::Prompts& prompts_;
    Hooks hooks_;
    vantrel::mainlog::LogFileAccess& logFiles_;
    // The log files loaded or written during this run, as we saw them.
    vantrel::mainlog::KnownFiles knownLogs_;

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
};
