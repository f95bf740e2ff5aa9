// Runs the window tests inside one QApplication, headless, with the home,
// settings and data folders pointing at a fresh temporary folder: HOME and
// XDG_* on POSIX, USERPROFILE, APPDATA and LOCALAPPDATA on Windows (where
// HOME moves nothing), so that no test reads or writes the user's own.
#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <gtest/gtest.h>

#include "TestSupport.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    const std::string homePath = home.path().toStdString();
    vantrel::testing::useHomeFolder(homePath);
    vantrel::testing::setEnvironment(vantrel::testing::kDataHomeVariable, homePath + "/.local/share");
    if (!std::getenv("QT_QPA_PLATFORM"))
        vantrel::testing::setEnvironment("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
