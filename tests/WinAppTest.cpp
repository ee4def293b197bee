// The application title and help file path that CWinApp derives from the executable's path.
#include "framework/WinApp.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct DerivedNames {
    const char* executable;
    const char* helpFile;
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
    EXPECT_EQ(DeriveAppTitle(GetParam().executable), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, WinAppNames,
    ::testing::Values(
        DerivedNames{"/home/u/.local/bin/lumivane", "/home/u/.local/bin/lumivane.HLP", "lumivane"},
        DerivedNames{"/opt/v1.2/lumivane", "/opt/v1.2/lumivane.HLP", "lumivane"},
        DerivedNames{"/opt/lumivane/lumivane.exe", "/opt/lumivane/lumivane.HLP", "lumivane"},
        DerivedNames{"C:\\Show.d\\Lumivane.EXE", "C:\\Show.d\\Lumivane.HLP", "Lumivane"},
        DerivedNames{"/opt/fader.app.bin", "/opt/fader.app.HLP", "fader.app"},
        DerivedNames{"/home/u/.lumivane", "/home/u/.lumivane.HLP", ".lumivane"},
        DerivedNames{"lumivane", "lumivane.HLP", "lumivane"}));

} // namespace
