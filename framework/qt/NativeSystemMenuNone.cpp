#include "NativeSystemMenu.h"

bool AppendNativeSystemMenuSeparator(QWidget* /*window*/)
{
    return false;
}

bool AppendNativeSystemMenuItem(QWidget* /*window*/, unsigned /*id*/, const std::string& /*text*/)
{
    return false;
}

unsigned NativeSystemCommand(const QByteArray& /*eventType*/, void* /*message*/)
{
    return 0;
}
