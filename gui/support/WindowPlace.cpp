#include "gui/support/WindowPlace.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <exception>
#include <optional>

#include "core/settings/Settings.h"
#include "gui/support/ProgramSettings.h"

namespace vantrel {

namespace {

constexpr std::string_view kLeft = "Left";
constexpr std::string_view kTop = "Top";
constexpr std::string_view kWidth = "Width";
constexpr std::string_view kHeight = "Height";

std::optional<int> wholeNumber(const std::string& text)
{
    bool ok = false;
    const int value = QString::fromStdString(text).trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

bool WindowPlace::restore(QWidget& window) const
{
    SettingsStore& settings = currentProgramSettings();
    const auto number = [&](std::string_view key) { return wholeNumber(settings.ReadString(section_, key, "")); };
    const std::optional<int> left = number(kLeft), top = number(kTop);
    const std::optional<int> width = number(kWidth), height = number(kHeight);
    if (!left || !top || !width || !height || *width <= 0 || *height <= 0)
        return false;
    window.setGeometry(*left, *top, *width, *height);
    return true;
}

std::string WindowPlace::value(std::string_view key, const std::string& fallback) const
{
    return programSettings().ReadString(section_, key, fallback);
}

void WindowPlace::remember(const QWidget& window, const Values& more) const
{
    try {
        SettingsStore& settings = currentProgramSettings();
        settings.revalidate();  // as the file is now, another program's changes included
        if (!settings.hasSection(kSettingsSection))
            return;
        const auto write = [&](std::string_view key, const std::string& value) {
            if (settings.ReadString(section_, key, "\n") != value)
                settings.WriteString(section_, key, value);
        };
        const QRect at = window.geometry();
        write(kLeft, std::to_string(at.x()));
        write(kTop, std::to_string(at.y()));
        write(kWidth, std::to_string(at.width()));
        write(kHeight, std::to_string(at.height()));
        for (const auto& [key, value] : more)
            write(key, value);
    } catch (const std::exception&) {
    }
}

}  // namespace vantrel
