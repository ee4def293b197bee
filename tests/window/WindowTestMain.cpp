// The window tests need a QApplication before any widget exists, and run headless unless a
// platform is named.
#include "framework/qt/QtIconResource.h"
#include "res/Resource.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Dialog windows come and go within each test; none of them ends anything by closing.
    QApplication::setQuitOnLastWindowClosed(false);
    AddIconResource(IDI_APP_ICON, QStringLiteral(":/lumivane/lumivane.xpm"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
