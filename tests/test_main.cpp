// SPDX-License-Identifier: GPL-3.0-or-later
// The test runner.  Text drawing needs the font database, so a Gui
// application is created on Qt's offscreen platform; nothing needs a screen.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
