// Runs the window tests inside one QApplication, headless, with the home,
// settings and data folders pointing at a fresh temporary folder: HOME and
// XDG_* on POSIX, USERPROFILE, APPDATA and LOCALAPPDATA on Windows (where
// HOME moves nothing), so that no test reads or writes the user's own.
#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "gui/support/CorePath.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    // Named as the system names them, with its separator.
    const std::string homePath = vantrel::corePath(home.path());
    vantrel::testing::useHomeFolder(homePath);
    vantrel::testing::setEnvironment(vantrel::testing::kDataHomeVariable,
                                     vantrel::text::joinPath(vantrel::text::joinPath(homePath, ".local"), "share"));
    if (!std::getenv("QT_QPA_PLATFORM"))
        vantrel::testing::setEnvironment("QT_QPA_PLATFORM", "offscreen");
#ifdef _WIN32
    // Qt's offscreen platform on Windows reads its fonts from one folder,
    // Qt's own unless told: without it every text is measured in boxes. The
    // system's fonts folder holds the fonts the windows get on the desktop
    // (Wine takes the host's through fontconfig instead: its build names a
    // folder of those).
    if (!std::getenv("QT_QPA_FONTDIR"))
        if (const char* windows = std::getenv("WINDIR"))
            vantrel::testing::setEnvironment("QT_QPA_FONTDIR", std::string(windows) + "\\Fonts");
#endif
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
