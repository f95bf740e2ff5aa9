// What every window of the program shares: its fonts, its style, the way it
// shows another window modally and the way a handler reports a failure.
#pragma once

#include <QFont>
#include <QString>

#include <exception>
#include <functional>
#include <string_view>

#include "core/Version.h"
#include "core/files/FileResult.h"
#include "gui/support/Prompts.h"

class QDialog;
class QRect;
class QWidget;

namespace vantrel {

// The program's name on the task bar and at the head of its error boxes.
inline constexpr const char* kApplicationTitle = "Vantrel";

// The windows' font: a sans-serif face whose metrics match the 8 point
// dialog font the window layouts were drawn for. Sized in pixels, so that
// text and the fixed control geometry scale together.
QFont formFont();

// The small font of the pilot view's text window.
QFont smallTextFont();

// The widget style whose metrics the fixed layouts are measured against.
void applyProgramStyle();

// Shows a dialog modally and returns its result. Windows keep one of these
// as a member so that a headless run can stand in for the user.
using ModalShow = std::function<int(QDialog&)>;
int execModal(QDialog& dialog);

// Where every window goes, called each time it is shown. The first time
// (unless it was given a place, as a remembered one) a window is centred on
// its screen when it has no opener; a dialog is centred on its opener, and
// another window put beside it when the screen has room, else centred on
// it. The opener is `opener`, else the active window, else the parent's
// window. Later showings keep the window where it was. Either way the
// window, frame included, is then made to fit the available area of the
// screen that holds most of it, made smaller only where it must. While the
// window manager frames and places the window just shown, the rule is
// applied again to where it put it.
void placeWindow(QWidget& window, const QWidget* opener = nullptr);

// Makes a window smaller where it must and moves it as little as it can so
// that it, frame included, lies inside `available` (a screen's available
// area, in the window system's logical pixels, whatever the scale factor).
void keepOnScreen(QWidget& window, const QRect& available);

// An error box text as the program shows it: with a final full stop.
QString withFullStop(const QString& text);

namespace form {
// The core's UTF-8 text as the windows show it.
QString text(std::string_view utf8);
}  // namespace form

// Runs one handler; an unexpected failure inside it ends the action and is
// shown in an error box over `owner`, its cause (when it has one) below the
// text, and the program goes on.
template <class Body>
bool runAction(QWidget* owner, Prompts& prompts, Body&& body)
{
    try {
        body();
        return true;
    } catch (const CausedError& failure) {
        prompts.tell(owner, Prompts::Kind::Error, withFullStop(QString::fromStdString(failure.what())),
                     QString::fromStdString(failure.cause()));
        return false;
    } catch (const std::exception& failure) {
        prompts.tell(owner, Prompts::Kind::Error, withFullStop(QString::fromStdString(failure.what())));
        return false;
    }
}

}  // namespace vantrel
