// Nobody answers in a timing run: every prompt is unexpected and told on
// stderr, every question answered No, every dialog cancelled.
#pragma once

#include <cstdio>

#include "gui/Prompts.h"

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

}  // namespace vantrel::bench
