// The prompts interface on Qt: QMessageBox for questions and notes,
// QFileDialog for choosing files, QDesktopServices for links.
#pragma once

#include "gui/support/Prompts.h"

namespace vantrel {

class QtPrompts final : public Prompts {
public:
    using Prompts::askYesNo;
    using Prompts::tell;
    bool askYesNo(QWidget* owner, Kind kind, const QString& text, Default defaultButton) override;
    bool askWithDetails(QWidget* owner, Kind kind, const QString& title, const QString& text, const QString& details,
                        Default defaultButton) override;
    void tell(QWidget* owner, Kind kind, const QString& text, const QString& details) override;
    std::optional<QString> chooseOpenFile(QWidget* owner, const FileRequest& request) override;
    std::optional<QString> chooseSaveFile(QWidget* owner, const FileRequest& request) override;
    std::optional<QStringList> chooseOpenFiles(QWidget* owner, const FileRequest& request) override;
    std::optional<QString> chooseFolder(QWidget* owner, const FileRequest& request) override;
    void openUrl(const QString& url) override;
};

// A filter as the windows declare it ("XWA Pilotfiles|*.plt|All files|*.*")
// in Qt's form ("XWA Pilotfiles (*.plt);;All files (*)"). "*.*" matches every
// file, as it does on Windows.
QString qtNameFilters(const QString& filter);

}  // namespace vantrel
