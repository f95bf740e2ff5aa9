// The main log's text window: an editable plain-text window that holds a
// log of any length the file format allows and is quick to load.
//
// A loaded log is held in paragraphs of up to kLinesPerParagraph lines, its
// lines inside a paragraph separated by U+2028, since the window's cost grows
// with its number of paragraphs. Every reader of the text takes U+2028 and
// the paragraph break alike as one line break.
//
// A long log is put into the window a piece at a time: the first piece at
// once, the rest between the events of the program, so that the window is on
// screen and answers at once whatever the log's length. Until the last piece
// is in, anything that reads or changes the text (a key, a paste, the context
// menu, an entry appended, saving, clearing) first puts the rest in.
#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QString>

#include <cstddef>
#include <memory>
#include <string>

#include "core/mainlog/LogReader.h"

class QTimer;

class MainLogEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kLinesPerParagraph = 64;
    // The file is put into the window about this many bytes at a time,
    // whole lines.
    static constexpr std::size_t kLoadPieceBytes = 16 * 1024;

    explicit MainLogEdit(QWidget* parent = nullptr);

    // Shows the log file's text (code page, any line ends) as the whole
    // text, read from `file` as it comes into the window; clears undo and the
    // modified flag. A read that fails on the way stops the load where it is
    // and is told by loadFailed().
    void loadLog(std::unique_ptr<vantrel::mainlog::LogPieces> file);

    // Whether part of the loaded log is still to come into the window.
    bool isLoading() const;

    // Puts what is left of the loaded log into the window now.
    void finishLoading();

    // The whole text with "\n" for each line break, every other character as
    // it stands (no-break spaces included).
    QString logText();

    // Whether the whole text is empty or ends with a line break.
    bool endsAtLineStart();

    // Adds one line at the very end by the log's append rule, as one step
    // the user can undo, and shows it. Sets the modified flag.
    void appendLine(const QString& line);

    // Empties the window, a log still loading included. Sets the modified
    // flag.
    void clearLog();

signals:
    // The rest of the log could not be read: the window holds only its start.
    void loadFailed(const vantrel::mainlog::ReadResult& outcome);

protected:
    // Shift+Enter breaks the line as Enter does: the log knows no other kind
    // of line break.
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Puts the next piece of the loaded log at the end of the window.
    void putNextPiece();
    // Ends a load: the file let go of, undo on again, nothing changed.
    void endLoading();

    static constexpr int kScrollBarEveryMs = 50;

    std::unique_ptr<vantrel::mainlog::LogPieces> file_;
    QElapsedTimer sizeShown_;
    QTimer* loadTimer_ = nullptr;
};
