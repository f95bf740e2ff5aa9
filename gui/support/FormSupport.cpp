#include "gui/support/FormSupport.h"

#include "core/text/TextRules.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QStyle>
#include <QStyleFactory>

namespace vantrel {

namespace {

QFont sansSerif(int pixelSize)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

// Fusion, with drop-down boxes that open as a list below the box, as high
// as their largest number of visible rows, rather than as a menu over the
// box that the longest lists fill the screen height with.
class ProgramStyle final : public QProxyStyle {
public:
    explicit ProgramStyle(QStyle* fusion) : QProxyStyle(fusion) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The frame around a window, as far as it is known: zero before the window
// manager has framed it.
QMargins knownFrame(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

bool isFramed(const QWidget& window)
{
    const Qt::WindowType type = window.windowType();
    return !window.windowFlags().testFlag(Qt::FramelessWindowHint) && type != Qt::Popup && type != Qt::ToolTip &&
           type != Qt::SplashScreen;
}

// Before its first showing a window's frame is not known yet. The frame of
// another window on screen stands in for it: its owner's first, else any.
QMargins expectedFrame(const QWidget& window)
{
    if (const QMargins own = knownFrame(window); !own.isNull())
        return own;
    QList<const QWidget*> others;
    if (const QWidget* owner = window.parentWidget())
        others << owner->window();
    for (const QWidget* other : QApplication::topLevelWidgets())
        others << other;
    for (const QWidget* other : others)
        if (other != &window && other->isVisible() && isFramed(*other))
            if (const QMargins frame = knownFrame(*other); !frame.isNull())
                return frame;
    return {};
}

QRect availableArea(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// The window's size, made no larger than its frame allows inside `available`
// (and no smaller than the window allows at all).
QSize fittedSize(const QWidget& window, const QMargins& frame, const QRect& available)
{
    const QSize room = available.size().shrunkBy(frame);
    return window.size().boundedTo(room).expandedTo(window.minimumSize());
}

// Puts the client area where a frame of the given size is centred.
void placeCentred(QWidget& window, const QMargins& frame)
{
    const QRect available = availableArea(window);
    if (available.isEmpty())
        return;
    const QSize size = fittedSize(window, frame, available);
    QRect outer = QRect(QPoint(), size).marginsAdded(frame);
    outer.moveCenter(available.center());
    // A window larger than the screen keeps its top left corner, and so its
    // title bar, on it.
    outer.moveTopLeft(QPoint(std::max(outer.left(), available.left()), std::max(outer.top(), available.top())));
    // setGeometry() places the client area itself, whatever the window
    // system yet knows of the frame.
    window.setGeometry(QRect(outer.topLeft() + QPoint(frame.left(), frame.top()), size));
}

// Once the window manager has framed a window that was centred on a guess,
// centres it again if the frame turned out otherwise; then lets go.
class CentreOnceFramed final : public QObject {
public:
    static constexpr const char* kName = "vantrel_centreOnceFramed";

    CentreOnceFramed(QWidget& window, const QMargins& assumed)
        : QObject(&window), window_(&window), assumed_(assumed)
    {
        setObjectName(QString::fromLatin1(kName));
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_)
            return false;
        switch (event->type()) {
        case QEvent::Hide:
            finish();
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Expose:
        case QEvent::WindowActivate:
            if (const QMargins frame = knownFrame(*window_); !frame.isNull()) {
                // Done before the move, which sends events of its own.
                finish();
                if (frame != assumed_)
                    placeCentred(*window_, frame);
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    void finish()
    {
        window_->removeEventFilter(this);
        setObjectName(QString());
        deleteLater();
    }

    QPointer<QWidget> window_;
    QMargins assumed_;
};

}  // namespace

QFont formFont()
{
    // The x-height of the 8 point dialog font at 96 dots per inch, and narrow
    // enough that the longest texts fit the boxes they were laid out for.
    return sansSerif(10);
}

QFont smallTextFont()
{
    // 7 pt at 96 dots per inch.
    return sansSerif(9);
}

void applyProgramStyle()
{
    if (dynamic_cast<ProgramStyle*>(QApplication::style()))
        return;
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(new ProgramStyle(fusion));
}

int execModal(QDialog& dialog)
{
    return dialog.exec();
}

void keepOnScreen(QWidget& window, const QRect& available)
{
    if (available.isEmpty())
        return;
    const QMargins frame = expectedFrame(window);
    const QSize size = fittedSize(window, frame, available);
    QRect outer = QRect(window.geometry().topLeft(), size).marginsAdded(frame);
    if (outer.right() > available.right())
        outer.moveRight(available.right());
    if (outer.bottom() > available.bottom())
        outer.moveBottom(available.bottom());
    // The top left corner last: a window that cannot fit keeps its title bar.
    outer.moveTopLeft(QPoint(std::max(outer.left(), available.left()), std::max(outer.top(), available.top())));
    const QRect client(outer.topLeft() + QPoint(frame.left(), frame.top()), size);
    if (client != window.geometry())
        window.setGeometry(client);
}

void keepOnScreen(QWidget& window)
{
    keepOnScreen(window, availableArea(window));
}

QString withFullStop(const QString& text)
{
    return QString::fromStdString(text::withFullStop(text.toStdString()));
}

QString form::text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace vantrel

void vantrel::centreOnScreen(QWidget& window)
{
    // The frame is what gets centred, so that a window opens at the same
    // place each time, the first time included.
    const bool frameKnown = !knownFrame(window).isNull();
    const QMargins frame = expectedFrame(window);
    placeCentred(window, frame);
    if (!frameKnown && isFramed(window) &&
        !window.findChild<QObject*>(QString::fromLatin1(CentreOnceFramed::kName), Qt::FindDirectChildrenOnly))
        new CentreOnceFramed(window, frame);
}
