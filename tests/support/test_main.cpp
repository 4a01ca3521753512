// main() of every test executable: offscreen Qt, oraemu standing in for the Oracle client library,
// and remembered settings kept away from the real user's folders.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("DOVRELLE_OCI_LIBRARY", DOVRELLE_BUILD_DIR "/lib/liboraemu.so", 0);
    QTemporaryDir home;  // XDG folders of this test process only
    const QByteArray base = home.path().toUtf8();
    setenv("XDG_CONFIG_HOME", (base + "/config").constData(), 1);
    setenv("XDG_DATA_HOME", (base + "/data").constData(), 1);
    QDir().mkpath(home.path() + "/config");
    QDir().mkpath(home.path() + "/data");

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
