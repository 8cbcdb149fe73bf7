// Test entry: every test process gets its own temporary home (data folder, settings), so
// tests run in parallel without sharing a file, and an offscreen application object.
#include "platform/messages.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (home.isValid()) {
        const QByteArray h = home.path().toLocal8Bit();
        setenv("HOME", h.constData(), 1);
        setenv("XDG_DATA_HOME", (h + "/.local/share").constData(), 1);
        setenv("XDG_CONFIG_HOME", (h + "/.config").constData(), 1);
        setenv("XDG_CACHE_HOME", (h + "/.cache").constData(), 1);
    }
    if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tevrin"));
    platform::ReserveMessageNumbers();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
