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

    struct FileRequest {
        QString title;
        QString directory;  // initial directory (may name a file)
        QString fileName;   // pre-filled file name
        QString filter;     // "Name|*.ext|All files|*.*" as the windows declare it
        QStringList sidebar;  // folders offered beside the usual places
    };

    virtual ~Prompts() = default;
    // A box with Yes and No; true for Yes. Closing the box counts as No.
    virtual bool askYesNo(Kind kind, const QString& text) = 0;
    // A box with a single OK button.
    virtual void tell(Kind kind, const QString& text) = 0;
    // nullopt when the user cancels; otherwise the chosen full path.
    virtual std::optional<QString> chooseOpenFile(const FileRequest& request) = 0;
    virtual std::optional<QString> chooseSaveFile(const FileRequest& request) = 0;
    // Hands a link to the desktop's default handler; the result is ignored.
    virtual void openUrl(const QString& url) = 0;
};

}  // namespace vantrel
