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
#include <QTimer>

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

// The window's size, made no larger than its frame allows inside `available`
// (and no smaller than the window allows at all).
QSize fittedSize(const QWidget& window, const QMargins& frame, const QRect& available)
{
    const QSize room = available.size().shrunkBy(frame);
    return window.size().boundedTo(room).expandedTo(window.minimumSize());
}

// The screen that holds the largest part of `outer`; the primary screen
// when none holds any.
QScreen* screenHolding(const QRect& outer)
{
    QScreen* best = nullptr;
    qint64 most = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(outer);
        const qint64 area = static_cast<qint64>(common.width()) * common.height();
        if (area > most) {
            most = area;
            best = screen;
        }
    }
    return best ? best : QGuiApplication::primaryScreen();
}

// `outer` moved as little as it can to lie inside `available`; one that
// cannot fit keeps its top left corner, and so its title bar, on it.
QRect clampedInto(QRect outer, const QRect& available)
{
    if (outer.right() > available.right())
        outer.moveRight(available.right());
    if (outer.bottom() > available.bottom())
        outer.moveBottom(available.bottom());
    outer.moveTopLeft(QPoint(std::max(outer.left(), available.left()), std::max(outer.top(), available.top())));
    return outer;
}

// The window another one is opened from: the one given, else the active
// window, else its parent's window; none when that is not on screen.
const QWidget* openerOf(const QWidget& window, const QWidget* given)
{
    const QWidget* parent = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    for (const QWidget* candidate : {given, static_cast<const QWidget*>(QApplication::activeWindow()), parent})
        if (candidate && candidate != &window && candidate->isVisible())
            return candidate->window();
    return nullptr;
}

// The first place of a frame of size `outer`: without an opener centred on
// the screen; a dialog centred on its opener; another window beside its
// opener, its top level with the opener's, when the screen has room on the
// right or else on the left, and centred on the opener when it has none.
QRect firstPlace(const QSize& outer, const QRect& opener, bool beside, const QRect& available)
{
    QRect place(QPoint(), outer);
    if (opener.isNull()) {
        place.moveCenter(available.center());
        return place;
    }
    if (beside) {
        QRect right = place, left = place;
        right.moveTopLeft(QPoint(opener.right() + 1, opener.top()));
        left.moveTopRight(QPoint(opener.left() - 1, opener.top()));
        for (const QRect& side : {right, left})
            if (side.left() >= available.left() && side.right() <= available.right())
                return side;
    }
    place.moveCenter(opener.center());
    return place;
}

const char* const kPlacedProperty = "vantrel_placed";

// The rule itself, with the frame taken to be `frame`: a window not yet
// placed (nor given a place, as a remembered one) gets its first place; any
// other keeps its own. Either is then made to fit, frame included, the
// available area of the screen that holds most of it.
void applyPlace(QWidget& window, const QWidget* opener, const QMargins& frame)
{
    const bool first = !window.property(kPlacedProperty).toBool() && !window.testAttribute(Qt::WA_Moved);
    QRect outer = window.geometry().marginsAdded(frame);
    if (first) {
        const QWidget* from = openerOf(window, opener);
        const QRect openerFrame = from ? from->frameGeometry() : QRect();
        const QScreen* screen = from ? screenHolding(openerFrame) : window.screen();
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const QRect available = screen->availableGeometry();
        const QSize size = fittedSize(window, frame, available);
        const bool dialog = window.windowType() == Qt::Dialog || window.windowType() == Qt::Sheet;
        outer = clampedInto(
            firstPlace(QRect(QPoint(), size).marginsAdded(frame).size(), openerFrame, !dialog, available), available);
    } else {
        const QScreen* screen = screenHolding(outer);
        if (!screen)
            return;
        const QRect available = screen->availableGeometry();
        outer.setSize(QRect(QPoint(), fittedSize(window, frame, available)).marginsAdded(frame).size());
        outer = clampedInto(outer, available);
    }
    window.setProperty(kPlacedProperty, true);
    // setGeometry() places the client area itself, whatever the window
    // system yet knows of the frame.
    const QRect client = outer.marginsRemoved(frame);
    if (client != window.geometry())
        window.setGeometry(client);
}

// While a window is being shown the window manager frames it and may place
// it anew (with a frame other than the one guessed, or where it likes): each
// time it does, the rule is applied again, a first place made anew with the
// true frame. A second after the window first appeared the window manager
// is done and the window is the user's to move.
class PlaceWhileShown final : public QObject {
public:
    static constexpr const char* kName = "vantrel_placeWhileShown";
    static constexpr int kSettleMilliseconds = 1000;

    PlaceWhileShown(QWidget& window, const QWidget* opener, const QMargins& assumed, bool first)
          : QObject(&window), window_(&window), opener_(opener), assumed_(assumed), first_(first)
    {
        setObjectName(QString::fromLatin1(kName));
        window.installEventFilter(this);
        if (window.isVisible())
            startSettling();
    }

    void renew(const QWidget* opener, const QMargins& assumed, bool first)
    {
        opener_ = opener;
        assumed_ = assumed;
        first_ = first;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_ || applying_)
            return false;
        switch (event->type()) {
        case QEvent::Hide: finish(); break;
        case QEvent::Show:
        case QEvent::Expose: startSettling(); [[fallthrough]];
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate: placeAgain(); break;
        default: break;
        }
        return false;
    }

private:
    void startSettling()
    {
        if (!settling_) {
            settling_ = true;
            QTimer::singleShot(kSettleMilliseconds, this, [this] { finish(); });
        }
    }

    void placeAgain()
    {
        if (!window_->isVisible())
            return;
        const QMargins frame = knownFrame(*window_);
        const QMargins used = frame.isNull() ? assumed_ : frame;
        applying_ = true;
        if (first_ && !frame.isNull() && frame != assumed_) {
            window_->setProperty(kPlacedProperty, false);
            window_->setAttribute(Qt::WA_Moved, false);
            applyPlace(*window_, opener_, used);
        } else {
            applyPlace(*window_, nullptr, used);
        }
        if (!frame.isNull())
            first_ = false;
        assumed_ = used;
        applying_ = false;
    }

    void finish()
    {
        if (!window_)
            return;
        window_->removeEventFilter(this);
        setObjectName(QString());
        deleteLater();
        window_ = nullptr;
    }

    QPointer<QWidget> window_;
    QPointer<const QWidget> opener_;
    QMargins assumed_;
    bool first_ = false;
    bool settling_ = false;
    bool applying_ = false;
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
    const QRect outer = clampedInto(QRect(window.geometry().topLeft(), size).marginsAdded(frame), available);
    const QRect client(outer.topLeft() + QPoint(frame.left(), frame.top()), size);
    if (client != window.geometry())
        window.setGeometry(client);
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

void vantrel::placeWindow(QWidget& window, const QWidget* opener)
{
    const bool frameKnown = !knownFrame(window).isNull();
    const QMargins frame = expectedFrame(window);
    const bool first = !window.property(kPlacedProperty).toBool() && !window.testAttribute(Qt::WA_Moved);
    applyPlace(window, opener, frame);
    if (!isFramed(window))
        return;
    const QWidget* from = openerOf(window, opener);
    if (auto* guard =
            window.findChild<PlaceWhileShown*>(QString::fromLatin1(PlaceWhileShown::kName), Qt::FindDirectChildrenOnly))
        guard->renew(from, frame, first && !frameKnown);
    else
        new PlaceWhileShown(window, from, frame, first && !frameKnown);
}
