// Where a window was left: its left, top, width and height kept in the
// program's settings under the window's own section, so that it opens there
// again. Any window can keep its place so; placeWindow() then only keeps a
// restored place on the screen.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QWidget;

namespace vantrel {

class WindowPlace {
public:
    // Keys of the window's own, written after its place in the same step.
    using Values = std::vector<std::pair<std::string_view, std::string>>;

    // `section` is the window's own section of the settings file.
    explicit WindowPlace(std::string_view section) : section_(section) {}

    // Puts the window where its section, as the settings file is now, last
    // kept it; false, leaving the window as it is, when the section holds no
    // whole place of some size.
    bool restore(QWidget& window) const;

    // One of the window's own values in its section, as the settings store
    // holds it (restore() brought it up to date); `fallback` when there is
    // none.
    std::string value(std::string_view key, const std::string& fallback = {}) const;

    // Keeps the window's place, then `more`, in its section, as the settings
    // file is now: only once the program's own section is there (whose keys
    // and order stay as they are), and a value only when it changed. A
    // settings file that cannot be written costs the place, no more.
    void remember(const QWidget& window, const Values& more = {}) const;

private:
    std::string section_;
};

}  // namespace vantrel
