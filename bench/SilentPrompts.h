// What the timing runs share. Nobody answers in a timing run: every prompt
// is unexpected and told on stderr, every question answered No, every
// dialog cancelled.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include "gui/support/Prompts.h"

namespace vantrel::bench {

class SilentPrompts final : public Prompts {
public:
    bool askYesNo(QWidget*, Kind, const QString& text, Default) override { return complain(text), false; }
    void tell(QWidget*, Kind, const QString& text, const QString&) override { complain(text); }
    std::optional<QString> chooseOpenFile(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> chooseSaveFile(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QStringList> chooseOpenFiles(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> chooseFolder(QWidget*, const FileRequest&) override { return std::nullopt; }
    void openUrl(const QString&) override {}

private:
    static void complain(const QString& text) { std::fprintf(stderr, "unexpected prompt: %s\n", qPrintable(text)); }
};

// Points HOME and the settings folder at `home`, so that a timing run uses
// neither the user's settings nor their log, and runs headless unless
// QT_QPA_PLATFORM says otherwise.
inline void useHome(const QTemporaryDir& home)
{
    const QByteArray path = QFile::encodeName(home.path());
    ::setenv("HOME", path.constData(), 1);
    ::setenv("XDG_CONFIG_HOME", (path + "/.config").constData(), 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QDir(home.path()).mkpath(QStringLiteral(".config"));
}

}  // namespace vantrel::bench
