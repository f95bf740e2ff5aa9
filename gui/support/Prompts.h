// Every message box and file dialog the windows show goes through this small
// interface, so that each flow can be played headless with scripted answers.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace vantrel {

class Prompts {
public:
    enum class Kind { Confirmation, Information, Warning, Error };
    // The button that Enter presses.
    enum class Default { Yes, No };

    struct FileRequest {
        QString title;
        QString directory;              // initial directory (may name a file)
        QString fileName;               // pre-filled file name
        QString filter;                 // "Name|*.ext|All files|*.*" as the windows declare it
        QStringList sidebar;            // folders offered beside the usual places
        bool confirmOverwrite = false;  // a save dialog asks before replacing a file
    };

    virtual ~Prompts() = default;
    // Every box and dialog names the window it belongs to, `owner`: it stands
    // over that window and is modal to it, also at moments when no window is
    // active (right after a file dialog closed, or during start-up).

    // A box with Yes and No; true for Yes. Closing the box counts as No.
    // Questions whose Yes gives up data have No as their default.
    virtual bool askYesNo(QWidget* owner, Kind kind, const QString& text, Default defaultButton) = 0;
    bool askYesNo(QWidget* owner, Kind kind, const QString& text) { return askYesNo(owner, kind, text, Default::Yes); }
    // A question under a title of its own, with `details` (lines of text)
    // below it. Where a box with a title and details cannot be had, the
    // plain question is asked.
    virtual bool askWithDetails(QWidget* owner, Kind kind, const QString& title, const QString& text,
                                const QString& details, Default defaultButton)
    {
        (void)title;
        (void)details;
        return askYesNo(owner, kind, text, defaultButton);
    }
    // A box with a single OK button. `details`, when not empty, is shown
    // below the text: the system's reason for a failure the text names.
    virtual void tell(QWidget* owner, Kind kind, const QString& text, const QString& details) = 0;
    void tell(QWidget* owner, Kind kind, const QString& text) { tell(owner, kind, text, QString()); }
    // nullopt when the user cancels; otherwise the chosen full path.
    virtual std::optional<QString> chooseOpenFile(QWidget* owner, const FileRequest& request) = 0;
    virtual std::optional<QString> chooseSaveFile(QWidget* owner, const FileRequest& request) = 0;
    // Several existing files at once; nullopt when the user cancels.
    virtual std::optional<QStringList> chooseOpenFiles(QWidget* owner, const FileRequest& request) = 0;
    // An existing folder; nullopt when the user cancels.
    virtual std::optional<QString> chooseFolder(QWidget* owner, const FileRequest& request) = 0;
    // Hands a link to the desktop's default handler; the result is ignored.
    virtual void openUrl(const QString& url) = 0;
};

}  // namespace vantrel
