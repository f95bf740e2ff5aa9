#include "gui/mainwindow/MainLogEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "core/mainlog/LogText.h"

namespace {

bool isLineBreak(QChar c)
{
    return c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

}  // namespace

MainLogEdit::MainLogEdit(QWidget* parent) : QPlainTextEdit(parent), loadTimer_(new QTimer(this))
{
    // Every change of the text counts, an undo included: once changed, the
    // log stays changed until it is loaded or saved. The pieces of a load
    // change nothing: putNextPiece() puts the flag back.
    connect(document(), &QTextDocument::contentsChanged, this, [this] { document()->setModified(true); });
    loadTimer_->setInterval(0);
    connect(loadTimer_, &QTimer::timeout, this, [this] {
        putNextPiece();
        if (!isLoading())
            endLoading();
    });
}

void MainLogEdit::loadLog(std::unique_ptr<vantrel::mainlog::LogPieces> file)
{
    loadTimer_->stop();
    sizeShown_.invalidate();
    file_.reset();
    // Nothing of the load is to be undone.
    document()->setUndoRedoEnabled(false);
    clear();
    document()->setModified(false);
    file_ = std::move(file);
    putNextPiece();
    setTextCursor(QTextCursor(document()));
    if (isLoading())
        loadTimer_->start();
    else
        endLoading();
}

bool MainLogEdit::isLoading() const
{
    return file_ && !file_->atEnd();
}

void MainLogEdit::finishLoading()
{
    if (!file_)
        return;
    loadTimer_->stop();
    while (isLoading())
        putNextPiece();
    endLoading();
}

void MainLogEdit::putNextPiece()
{
    // Whole lines, so that a CR LF is never cut in two; the paragraphs are
    // counted within the piece, which keeps them short.
    std::string bytes;
    if (file_)
        file_->next(kLoadPieceBytes, bytes);
    if (bytes.empty())
        return;
    QString piece(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    const std::size_t length =
        vantrel::mainlog::decodeToUtf16(bytes, reinterpret_cast<char16_t*>(piece.data()), QChar::LineSeparator,
                                        QChar::ParagraphSeparator, kLinesPerParagraph);
    piece.truncate(static_cast<qsizetype>(length));

    // The piece goes in past what is on screen, unless the end is shown: the
    // window repaints only then; its scroll bar is brought up to date a few
    // times a second, which is what showing it costs.
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    const bool endShown =
        !isVisible() || cursorForPosition(QPoint(0, viewport()->height())).block() == document()->lastBlock();
    // The flag as it was before the piece: the document and the handler
    // above both set it for any change.
    const bool wasModified = document()->isModified();
    layout->blockSignals(true);
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(piece);
    layout->blockSignals(false);
    document()->setModified(wasModified);
    if (endShown || !sizeShown_.isValid() || sizeShown_.hasExpired(kScrollBarEveryMs)) {
        emit layout->documentSizeChanged(layout->documentSize());
        sizeShown_.start();
    }
    if (endShown)
        viewport()->update();
}

void MainLogEdit::endLoading()
{
    loadTimer_->stop();
    const std::unique_ptr<vantrel::mainlog::LogPieces> file = std::move(file_);
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    emit layout->documentSizeChanged(layout->documentSize());
    document()->setUndoRedoEnabled(true);
    document()->setModified(false);
    if (file && !file->outcome().ok())
        emit loadFailed(file->outcome());
}

QString MainLogEdit::logText()
{
    finishLoading();
    // The document's plain text would turn no-break spaces into blanks.
    QString raw = document()->toRawText();
    for (QChar& c : raw) {
        if (isLineBreak(c))
            c = QLatin1Char('\n');
    }
    return raw;
}

bool MainLogEdit::endsAtLineStart()
{
    finishLoading();
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

void MainLogEdit::clearLog()
{
    // What is still to come of a load is let go of with the rest.
    loadTimer_->stop();
    file_.reset();
    document()->setUndoRedoEnabled(true);
    clear();
    document()->setModified(true);
}

void MainLogEdit::keyPressEvent(QKeyEvent* event)
{
    finishLoading();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
                        event->isAutoRepeat(), static_cast<quint16>(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MainLogEdit::inputMethodEvent(QInputMethodEvent* event)
{
    finishLoading();
    QPlainTextEdit::inputMethodEvent(event);
}

void MainLogEdit::contextMenuEvent(QContextMenuEvent* event)
{
    finishLoading();
    QPlainTextEdit::contextMenuEvent(event);
}

void MainLogEdit::insertFromMimeData(const QMimeData* source)
{
    finishLoading();
    QPlainTextEdit::insertFromMimeData(source);
}
