#include "gui/MainLogEdit.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "core/mainlog/MainLogFile.h"

namespace {

bool isLineBreak(QChar c)
{
    return c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

}  // namespace

MainLogEdit::MainLogEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    // Every change of the text counts, an undo included: once changed, the
    // log stays changed until it is loaded or saved.
    connect(document(), &QTextDocument::contentsChanged, this, [this] { document()->setModified(true); });
}

void MainLogEdit::loadLog(std::string&& bytes)
{
    clear();
    QTextDocument* log = document();
    // Nothing of the load is to be undone.
    log->setUndoRedoEnabled(false);
    QTextCursor end(log);
    end.beginEditBlock();
    // Decoded a piece of whole lines at a time into one buffer, so that only
    // the document holds the whole text.
    QString piece;
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const std::size_t pieceBytes =
            rest.size() <= kLoadPieceBytes
                ? rest.size()
                : kLoadPieceBytes + vantrel::mainlog::endOfLines(rest.substr(kLoadPieceBytes), 1);
        const std::string_view bytesOfPiece = rest.substr(0, pieceBytes);
        rest.remove_prefix(pieceBytes);
        piece.resize(static_cast<qsizetype>(pieceBytes));
        const std::size_t length =
            vantrel::mainlog::decodeToUtf16(bytesOfPiece, reinterpret_cast<char16_t*>(piece.data()),
                                            QChar::LineSeparator, QChar::ParagraphSeparator, kLinesPerParagraph);
        piece.truncate(static_cast<qsizetype>(length));
        end.insertText(piece);
    }
    end.endEditBlock();
    std::string().swap(bytes);
    log->setUndoRedoEnabled(true);
    setTextCursor(QTextCursor(log));
    log->setModified(false);
}

QString MainLogEdit::logText() const
{
    // The document's plain text would turn no-break spaces into blanks.
    QString raw = document()->toRawText();
    for (QChar& c : raw) {
        if (isLineBreak(c))
            c = QLatin1Char('\n');
    }
    return raw;
}

bool MainLogEdit::endsAtLineStart() const
{
    const QTextDocument* log = document();
    // The last paragraph is empty when the text is empty or ends with a
    // paragraph break; otherwise its last character may be a line break.
    const QTextBlock last = log->lastBlock();
    return last.length() <= 1 || isLineBreak(log->characterAt(last.position() + last.length() - 2));
}

void MainLogEdit::appendLine(const QString& line)
{
    const std::string added = vantrel::mainlog::appendedText(line.toStdString(), endsAtLineStart());
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromStdString(added));
    document()->setModified(true);
    setTextCursor(end);
    ensureCursorVisible();
}

void MainLogEdit::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
                        event->isAutoRepeat(), static_cast<quint16>(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
