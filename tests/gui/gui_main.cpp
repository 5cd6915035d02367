// The window tests run on Qt's offscreen platform unless a display is chosen.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>

namespace
{

// The offscreen platform cannot raise windows, grab the keyboard or pass
// size hints, and says so every time; everything else Qt reports is kept.
QtMessageHandler standard = nullptr;

void quietRaise(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.startsWith("This plugin does not support"))
        return;
    if (standard != nullptr)
        standard(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    standard = qInstallMessageHandler(quietRaise);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
