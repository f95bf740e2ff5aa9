#include "gui/support/QtPrompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

namespace vantrel {

namespace {

// The window a box stands over: the one it belongs to or, when that one is
// covered by a modal window of its own (a box over a dialog over it), the
// modal window on top.
QWidget* boxParent(QWidget* owner)
{
    if (!owner)
        return QApplication::activeModalWidget();
    QWidget* window = owner->window();
    QWidget* modal = QApplication::activeModalWidget();
    for (QWidget* above = modal; above; above = above->parentWidget())
        if (above == window)
            return modal;
    return window;
}

QMessageBox::Icon iconFor(Prompts::Kind kind)
{
    switch (kind) {
    case Prompts::Kind::Confirmation: return QMessageBox::Question;
    case Prompts::Kind::Information: return QMessageBox::Information;
    case Prompts::Kind::Warning: return QMessageBox::Warning;
    case Prompts::Kind::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QString titleFor(Prompts::Kind kind)
{
    switch (kind) {
    case Prompts::Kind::Confirmation: return QStringLiteral("Confirm");
    case Prompts::Kind::Information: return QStringLiteral("Information");
    case Prompts::Kind::Warning: return QStringLiteral("Warning");
    case Prompts::Kind::Error: break;
    }
    return QApplication::applicationDisplayName();
}

// Where the dialog starts and which file it shows selected. The remembered
// directory may name a file; the dialog then starts in that file's folder.
void placeDialog(QFileDialog& dialog, const Prompts::FileRequest& request)
{
    QString directory = request.directory;
    if (!directory.isEmpty()) {
        const QFileInfo remembered(directory);
        if (remembered.exists() && !remembered.isDir())
            directory = remembered.absolutePath();
        if (QFileInfo(directory).isDir())
            dialog.setDirectory(directory);
    }
    if (request.fileName.isEmpty())
        return;
    QFileInfo named(request.fileName);
    if (named.isRelative())
        named = QFileInfo(QDir(directory.isEmpty() ? QDir::currentPath() : directory), request.fileName);
    if (QFileInfo(named.absolutePath()).isDir())
        dialog.setDirectory(named.absolutePath());
    dialog.selectFile(named.fileName());
}

// Every chosen file as a full path; nullopt when the dialog was cancelled.
std::optional<QStringList> runFileDialogForAll(QFileDialog& dialog, const Prompts::FileRequest& request)
{
    const QString filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilter(filters);
        dialog.selectNameFilter(filters.section(QStringLiteral(";;"), 0, 0));
    }
    if (!request.sidebar.isEmpty()) {
        QList<QUrl> places = dialog.sidebarUrls();
        for (const QString& folder : request.sidebar)
            places << QUrl::fromLocalFile(folder);
        dialog.setSidebarUrls(places);
    }
    placeDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    for (QString& file : chosen)
        file = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    return chosen;
}

std::optional<QString> runFileDialog(QFileDialog& dialog, const Prompts::FileRequest& request)
{
    const std::optional<QStringList> chosen = runFileDialogForAll(dialog, request);
    if (!chosen)
        return std::nullopt;
    return chosen->first();
}

}  // namespace

QString qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QStringLiteral("*.*"))
                pattern = QStringLiteral("*");
        }
        entries << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

bool QtPrompts::askYesNo(QWidget* owner, Kind kind, const QString& text, Default defaultButton)
{
    QMessageBox box(iconFor(kind), titleFor(kind), text, QMessageBox::Yes | QMessageBox::No, boxParent(owner));
    box.setDefaultButton(defaultButton == Default::No ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtPrompts::askWithDetails(QWidget* owner, Kind kind, const QString& title, const QString& text,
                               const QString& details, Default defaultButton)
{
    QMessageBox box(iconFor(kind), title, text, QMessageBox::Yes | QMessageBox::No, boxParent(owner));
    box.setDefaultButton(defaultButton == Default::No ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    // File names and entries are shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    // Long details would make the box taller than the screen: the first
    // lines show below the text, all of them behind "Show Details...".
    constexpr qsizetype kShownLines = 20;
    const QStringList lines = details.split(QLatin1Char('\n'));
    if (lines.size() > kShownLines) {
        box.setInformativeText(lines.mid(0, kShownLines - 1).join(QLatin1Char('\n')) + QStringLiteral("\n..."));
        box.setDetailedText(details);
    } else if (!details.isEmpty()) {
        box.setInformativeText(details);
    }
    return box.exec() == QMessageBox::Yes;
}

void QtPrompts::tell(QWidget* owner, Kind kind, const QString& text, const QString& details)
{
    QMessageBox box(iconFor(kind), titleFor(kind), text, QMessageBox::Ok, boxParent(owner));
    if (!details.isEmpty())
        box.setInformativeText(details);
    box.exec();
}

std::optional<QString> QtPrompts::chooseOpenFile(QWidget* owner, const FileRequest& request)
{
    QFileDialog dialog(boxParent(owner), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name need not exist; the caller decides what a missing file means.
    dialog.setFileMode(QFileDialog::AnyFile);
    return runFileDialog(dialog, request);
}

std::optional<QString> QtPrompts::chooseSaveFile(QWidget* owner, const FileRequest& request)
{
    QFileDialog dialog(boxParent(owner), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    return runFileDialog(dialog, request);
}

std::optional<QStringList> QtPrompts::chooseOpenFiles(QWidget* owner, const FileRequest& request)
{
    QFileDialog dialog(boxParent(owner), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    return runFileDialogForAll(dialog, request);
}

std::optional<QString> QtPrompts::chooseFolder(QWidget* owner, const FileRequest& request)
{
    QFileDialog dialog(boxParent(owner), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    return runFileDialog(dialog, request);
}

void QtPrompts::openUrl(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url));
}

}  // namespace vantrel
