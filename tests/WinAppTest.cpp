// The application title and the help file paths that CWinApp derives from the executable's path.
#include "framework/WinApp.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct DerivedNames {
    const char* executable;
    const char* helpFile;          // beside the executable
    const char* installedHelpFile; // in ../share/lumivane/
    const char* title;
};

void PrintTo(const DerivedNames& row, std::ostream* out)
{
    *out << row.executable;
}

class WinAppNames : public ::testing::TestWithParam<DerivedNames> {};

TEST_P(WinAppNames, ComeFromTheExecutablesPath)
{
    EXPECT_EQ(DeriveHelpFilePath(GetParam().executable), GetParam().helpFile);
    EXPECT_EQ(DeriveInstalledHelpFilePath(GetParam().executable), GetParam().installedHelpFile);
    EXPECT_EQ(DeriveAppTitle(GetParam().executable), GetParam().title);
}

TEST_P(WinAppNames, HelpIsLookedForBesideTheExecutableFirst)
{
    const std::vector<std::string> expected{GetParam().helpFile, GetParam().installedHelpFile};
    EXPECT_EQ(HelpFileCandidates(GetParam().executable), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, WinAppNames,
    ::testing::Values(
        // Installed trees: the help file under <prefix>/share/lumivane, whatever the prefix.
        DerivedNames{"/usr/bin/lumivane", "/usr/bin/lumivane.HLP",
                     "/usr/share/lumivane/lumivane.HLP", "lumivane"},
        DerivedNames{"/usr/local/bin/lumivane", "/usr/local/bin/lumivane.HLP",
                     "/usr/local/share/lumivane/lumivane.HLP", "lumivane"},
        DerivedNames{"/home/u/.local/bin/lumivane", "/home/u/.local/bin/lumivane.HLP",
                     "/home/u/.local/share/lumivane/lumivane.HLP", "lumivane"},
        // A renamed program looks for a help file of its new name in both places.
        DerivedNames{"/usr/bin/fader", "/usr/bin/fader.HLP", "/usr/share/lumivane/fader.HLP",
                     "fader"},
        DerivedNames{"/usr/bin//lumivane", "/usr/bin//lumivane.HLP",
                     "/usr/share/lumivane/lumivane.HLP", "lumivane"},
        DerivedNames{"/lumivane", "/lumivane.HLP", "/share/lumivane/lumivane.HLP", "lumivane"},
        DerivedNames{"bin/lumivane", "bin/lumivane.HLP", "share/lumivane/lumivane.HLP", "lumivane"},
        DerivedNames{"./lumivane", "./lumivane.HLP", "./../share/lumivane/lumivane.HLP",
                     "lumivane"},
        DerivedNames{"../bin/lumivane", "../bin/lumivane.HLP", "../share/lumivane/lumivane.HLP",
                     "lumivane"},
        DerivedNames{"/opt/v1.2/lumivane", "/opt/v1.2/lumivane.HLP",
                     "/opt/share/lumivane/lumivane.HLP", "lumivane"},
        DerivedNames{"/opt/lumivane/lumivane.exe", "/opt/lumivane/lumivane.HLP",
                     "/opt/share/lumivane/lumivane.HLP", "lumivane"},
        // A Windows path keeps its backslashes; its drive has no folder above it.
        DerivedNames{"C:\\Show.d\\Lumivane.EXE", "C:\\Show.d\\Lumivane.HLP",
                     "C:\\share\\lumivane\\Lumivane.HLP", "Lumivane"},
        DerivedNames{"C:\\lumivane.exe", "C:\\lumivane.HLP",
                     "C:\\..\\share\\lumivane\\lumivane.HLP", "lumivane"},
        DerivedNames{"/opt/fader.app.bin", "/opt/fader.app.HLP", "/share/lumivane/fader.app.HLP",
                     "fader.app"},
        DerivedNames{"/home/u/.lumivane", "/home/u/.lumivane.HLP",
                     "/home/share/lumivane/.lumivane.HLP", ".lumivane"},
        DerivedNames{"lumivane", "lumivane.HLP", "../share/lumivane/lumivane.HLP", "lumivane"}));

} // namespace
