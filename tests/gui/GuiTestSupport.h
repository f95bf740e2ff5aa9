// What the window tests share: scripted answers for every prompt, a stand-in
// for the user closing modal windows, a private home folder per test and
// pilot files built on the spot.
#pragma once

#include <QApplication>
#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QKeyEvent>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/PilotImage.h"
#include "tests/support/TestSupport.h"
#include "core/pilot/PilotLayout.h"
#include "core/platform/PlatformPaths.h"
#include "core/settings/SettingsStore.h"
#include "gui/app/ProgramStart.h"
#include "gui/app/ReviewHooks.h"
#include "gui/mainwindow/MainUnit.h"
#include "gui/support/CorePath.h"
#include "gui/support/ProgramSettings.h"
#include "gui/support/Prompts.h"

// Readable failure messages for Qt values.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QRect& rect, std::ostream* out)
{
    *out << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << ", " << rect.height() << ')';
}

namespace vantrel::testing {

// Plays queued answers and records every prompt as "Kind: text" ("Kind,
// default No: text" for a question whose default button is No), or
// "open: file name" / "save: file name" for the file dialogs. The details
// of every box that has them go to `details` as "text | details", the titles
// of the questions that have their own to `titles`, and the window each one
// was asked to stand over to `owners`.
class ScriptedPrompts final : public Prompts {
public:
    std::deque<bool> answers;
    std::deque<std::optional<QString>> files;  // also the answers of folder dialogs
    std::deque<std::optional<QStringList>> fileLists;
    std::vector<std::string> log;
    std::vector<std::string> details;
    std::vector<QWidget*> owners;
    std::vector<std::string> titles;
    std::vector<FileRequest> openRequests;
    std::vector<FileRequest> saveRequests;

    using Prompts::askYesNo;
    using Prompts::tell;
    bool askYesNo(QWidget* owner, Kind kind, const QString& text, Default defaultButton) override
    {
        owners.push_back(owner);
        record(kind, text, defaultButton == Default::No ? ", default No" : "");
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // Asked like askYesNo; the title goes to `titles`, the details to `details`.
    bool askWithDetails(QWidget* owner, Kind kind, const QString& title, const QString& text,
                        const QString& informative, Default defaultButton) override
    {
        titles.push_back(title.toStdString());
        details.push_back(text.toStdString() + " | " + informative.toStdString());
        return askYesNo(owner, kind, text, defaultButton);
    }
    void tell(QWidget* owner, Kind kind, const QString& text, const QString& informative) override
    {
        owners.push_back(owner);
        record(kind, text);
        if (!informative.isEmpty())
            details.push_back(text.toStdString() + " | " + informative.toStdString());
    }
    std::optional<QString> chooseOpenFile(QWidget* owner, const FileRequest& request) override
    {
        owners.push_back(owner);
        openRequests.push_back(request);
        log.push_back("open: " + request.fileName.toStdString());
        return nextFile();
    }
    std::optional<QString> chooseSaveFile(QWidget* owner, const FileRequest& request) override
    {
        owners.push_back(owner);
        saveRequests.push_back(request);
        log.push_back("save: " + request.fileName.toStdString());
        return nextFile();
    }
    std::optional<QStringList> chooseOpenFiles(QWidget* owner, const FileRequest& request) override
    {
        owners.push_back(owner);
        openRequests.push_back(request);
        log.push_back("open files: " + request.directory.toStdString());
        if (fileLists.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        // The list taken out of its optional first: GCC 12 takes a copy of
        // the optional for one that may be uninitialized (-O2).
        const bool cancelled = !fileLists.front();
        QStringList chosen = cancelled ? QStringList() : *fileLists.front();
        fileLists.pop_front();
        if (cancelled)
            return std::nullopt;
        return chosen;
    }
    std::optional<QString> chooseFolder(QWidget* owner, const FileRequest& request) override
    {
        owners.push_back(owner);
        openRequests.push_back(request);
        log.push_back("folder: " + request.directory.toStdString());
        return nextFile();
    }
    void openUrl(const QString& url) override { log.push_back("url: " + url.toStdString()); }

private:
    void record(Kind kind, const QString& text, const char* note = "")
    {
        static const char* const names[] = {"Confirmation", "Information", "Warning", "Error"};
        log.push_back(std::string(names[static_cast<int>(kind)]) + note + ": " + text.toStdString());
    }
    std::optional<QString> nextFile()
    {
        if (files.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        // Taken out as a name or none: GCC 12 at -O2 wrongly takes a copied
        // optional QString for uninitialized.
        const bool answered = files.front().has_value();
        const QString name = answered ? *files.front() : QString();
        files.pop_front();
        return answered ? std::optional<QString>(name) : std::nullopt;
    }
};

// Stands in for the user at every modal window: notes which window was
// shown, then closes it the way `closeWith` says (by default with the title
// bar's close button).
struct ModalRecorder {
    std::vector<std::string> shown;
    std::function<void(QDialog&)> whileShown;
    std::function<void(QDialog&)> closeWith = [](QDialog& dialog) { dialog.close(); };

    ModalShow show()
    {
        return [this](QDialog& dialog) {
            shown.push_back(dialog.objectName().toStdString());
            dialog.show();
            if (whileShown)
                whileShown(dialog);
            closeWith(dialog);
            if (dialog.isVisible())
                dialog.hide();
            return dialog.result();
        };
    }
};

// The control of `window` named `name`, as the user finds it: among the
// window's own widgets, not those of the windows it owns (which may reuse the
// name). A control that is missing, of another kind or named twice fails the
// test and ends the step that asked for it.
template <class Control = QWidget>
Control& control(const QWidget& window, const char* name)
{
    std::vector<Control*> found;
    std::vector<const QObject*> pending{&window};
    while (!pending.empty()) {
        const QObject* parent = pending.back();
        pending.pop_back();
        for (QObject* child : parent->children()) {
            const auto* widget = qobject_cast<const QWidget*>(child);
            if (widget && widget->isWindow())
                continue;
            if (child->objectName() == QLatin1String(name))
                if (auto* match = qobject_cast<Control*>(child))
                    found.push_back(match);
            pending.push_back(child);
        }
    }
    if (found.size() != 1) {
        ADD_FAILURE() << window.objectName().toStdString() << " has " << found.size() << " controls named " << name
                      << " of the kind asked for";
        throw std::runtime_error(std::string("no single control ") + name);
    }
    return *found.front();
}

// Clicks the button `name` of `window`, as the user does.
inline void click(const QWidget& window, const char* name)
{
    control<QAbstractButton>(window, name).click();
}

inline void pressKey(QWidget& target, int key, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &release);
}

inline void typeText(QWidget& target, const QString& text)
{
    for (const QChar c : text)
        pressKey(target, c == QLatin1Char('\t') ? int(Qt::Key_Tab) : int(c.toUpper().unicode()), QString(c));
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Writes `bytes` as the file at `path`, making its folder first (the
// settings folder, say, which the program makes only when it saves).
inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

struct CampaignMission {
    std::int32_t score = 0;
    std::int32_t storedBonus = 0;
    std::int32_t time = 0;
};

// Each test runs in a home folder of its own, with its own settings file,
// and with the current directory inside it.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        previousDirectory_ = QDir::currentPath();
        useHomeFolder(corePath(home_.path()));
        QDir(home_.path()).mkpath(QStringLiteral(".config"));
        QDir::setCurrent(home_.path());
        vantrel::openProgramSettings();
    }
    void TearDown() override { QDir::setCurrent(previousDirectory_); }

    QString homePath(const QString& name = {}) const
    {
        return name.isEmpty() ? home_.path() : QDir(home_.path()).filePath(name);
    }

    // Reads the settings file afresh, as another program would.
    std::string setting(std::string_view key, std::string_view fallback = "<absent>") const
    {
        SettingsStore store(paths::settingsFile());
        return store.read(key, fallback);
    }
    void setSetting(std::string_view key, std::string_view value) const
    {
        SettingsStore store(paths::settingsFile());
        store.write(key, value);
    }

    ProgramWindows start(const QStringList& arguments = {QStringLiteral("vantrel")})
    {
        return ProgramWindows(prompts, arguments, modal.show());
    }

    // The review window's hooks for its Charts and "Restore a backup..."
    // buttons, as start-up gives them.
    TReviewWindow::Hooks reviewHooks()
    {
        TReviewWindow::Hooks hooks;
        openChartsAndBackups(hooks, prompts);
        return hooks;
    }

    // A pilot file of the right length named `name` in the home folder.
    QString writePilot(const QString& name, const std::vector<CampaignMission>& campaign,
                       const std::function<void(PilotImage&)>& more = {}) const
    {
        PilotImage pilot;
        pilot.setText(layout::PilotName, "Tester");
        pilot.setInt(layout::Rank, 3);
        pilot.setInt(layout::Rating, 5);
        pilot.setInt(layout::KalidorCrescent, 1);
        for (std::uint32_t i = 0; i < campaign.size(); ++i) {
            PilotImage::Mission mission;
            mission.score = campaign[i].score;
            mission.storedBonus = campaign[i].storedBonus;
            mission.time = campaign[i].time;
            pilot.setMission(layout::CampaignMissionRecords, i, mission);
        }
        if (more)
            more(pilot);
        const QString path = homePath(name);
        EXPECT_TRUE(pilot.save(QFile::encodeName(path).toStdString()));
        return path;
    }

    QString pilotWithMissions(int count, const QString& name = QStringLiteral("Tester.plt")) const
    {
        std::vector<CampaignMission> campaign;
        for (int i = 0; i < count; ++i)
            campaign.push_back({100 * (i + 1), 10 * i, 60 * i});
        return writePilot(name, campaign);
    }

    static QString samplePilot() { return QStringLiteral(VANTREL_SAMPLE_PILOT); }

    ScriptedPrompts prompts;
    ModalRecorder modal;

private:
    QTemporaryDir home_;
    QString previousDirectory_;
};

}  // namespace vantrel::testing
