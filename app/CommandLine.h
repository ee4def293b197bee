// The program's command line. --help and --version are answered on the terminal, without a
// window; any other option is refused with the usage and status 2. Arguments that are not
// options are ignored, so a start with them is the same as one without. Qt's own options
// (-platform, -display, ...) are options like any other here: Qt reads its environment
// (QT_QPA_PLATFORM, DISPLAY) instead.
//
// Pure functions of their arguments: the texts are written by main().
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class CommandLineAction { RunConsole, ShowUsage, ShowVersion, RefuseOption };

struct CommandLineRequest {
    CommandLineAction action = CommandLineAction::RunConsole;
    std::string refusedOption; // for RefuseOption
};

// The program's exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitNoDisplay = 1;
constexpr int kExitUsage = 2;

// `arguments` without the program's own name. The first of --help, -h, --version or an unknown
// option decides; "--" ends the options, and "-" alone is no option.
CommandLineRequest ParseCommandLine(const std::vector<std::string>& arguments);

// What the program does, its options and keys, and where it looks for its help file:
// `helpCandidates` in order, `helpFound` the one it takes (nothing when none exists).
std::string UsageText(const std::vector<std::string>& helpCandidates,
                      const std::optional<std::string>& helpFound);
// "lumivane <version>" and a newline.
std::string VersionText();
// The line before the usage on a refused option.
std::string RefusalText(const std::string& option);
// The one line said instead of opening a window when Qt finds no display, naming what the
// environment asked for (each variable null when unset).
std::string NoDisplayText(const char* qpaPlatform, const char* display, const char* waylandDisplay);
