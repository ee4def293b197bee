// The window system's own caption menu, where a program may extend it (Windows). Elsewhere
// these do nothing and the window keeps its own window menu instead.
#pragma once

#include <QByteArray>
#include <QWidget>

#include <string>

// Appends a separator, or an item that sends `id` as a system command, to the native menu.
// False where the platform has no menu a program can extend.
bool AppendNativeSystemMenuSeparator(QWidget* window);
bool AppendNativeSystemMenuItem(QWidget* window, unsigned id, const std::string& text);
// When `message` is the native system command of an item we appended, its id; else 0.
unsigned NativeSystemCommand(const QByteArray& eventType, void* message);
