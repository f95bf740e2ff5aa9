// Runs the window tests inside one QApplication, headless, with HOME and the
// settings directory pointing at a fresh temporary folder.
#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    const QByteArray homePath = home.path().toLocal8Bit();
    ::setenv("HOME", homePath.constData(), 1);
    ::setenv("XDG_CONFIG_HOME", (homePath + "/.config").constData(), 1);
    ::setenv("XDG_DATA_HOME", (homePath + "/.local/share").constData(), 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
