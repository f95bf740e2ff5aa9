// The main log's text window: an editable plain-text window that holds a
// log of any length the file format allows and is quick to load.
//
// A loaded log is held in paragraphs of up to kLinesPerParagraph lines, its
// lines inside a paragraph separated by U+2028, since the window's cost grows
// with its number of paragraphs. Every reader of the text takes U+2028 and
// the paragraph break alike as one line break.
#pragma once

#include <QPlainTextEdit>
#include <QString>

#include <cstddef>
#include <string>

class MainLogEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kLinesPerParagraph = 64;
    // The file is decoded about this many bytes at a time, whole lines.
    static constexpr std::size_t kLoadPieceBytes = 256 * 1024;

    explicit MainLogEdit(QWidget* parent = nullptr);

    // Shows the log file's bytes (code page, any line ends) as the whole
    // text; clears undo and the modified flag. The bytes are let go of once
    // decoded.
    void loadLog(std::string&& bytes);

    // The text with "\n" for each line break, every other character as it
    // stands (no-break spaces included).
    QString logText() const;

    // Whether the text is empty or ends with a line break.
    bool endsAtLineStart() const;

    // Adds one line at the very end by the log's append rule, as one step
    // the user can undo, and shows it. Sets the modified flag.
    void appendLine(const QString& line);

protected:
    // Shift+Enter breaks the line as Enter does: the log knows no other kind
    // of line break.
    void keyPressEvent(QKeyEvent* event) override;
};
