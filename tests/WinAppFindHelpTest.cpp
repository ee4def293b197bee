// Which help file CWinApp takes, in a tree of its own laid out as a build or an installed
// prefix. (POSIX only: the private tree needs mkdtemp.)
#include "TempDir.h"

#include "framework/WinApp.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

class WinAppFindHelp : public ::testing::Test {
protected:
    CTempDir m_tree;
    const std::string m_program = m_tree / "bin/lumivane";
    const std::string m_beside = m_tree / "bin/lumivane.HLP";
    const std::string m_installed = m_tree / "share/lumivane/lumivane.HLP";
};

TEST_F(WinAppFindHelp, TakesTheInstalledFileWhenNoneIsBesideTheProgram)
{
    m_tree.WriteFile("bin/lumivane");
    m_tree.WriteFile("share/lumivane/lumivane.HLP", "[1] Topic\n");
    EXPECT_EQ(FindHelpFile(m_program), m_installed);
}

TEST_F(WinAppFindHelp, PrefersTheFileBesideTheProgram)
{
    m_tree.WriteFile("bin/lumivane");
    m_tree.WriteFile("bin/lumivane.HLP", "[1] Beside\n");
    m_tree.WriteFile("share/lumivane/lumivane.HLP", "[1] Installed\n");
    EXPECT_EQ(FindHelpFile(m_program), m_beside);
}

TEST_F(WinAppFindHelp, NamesTheFileBesideTheProgramWhenThereIsNone)
{
    m_tree.WriteFile("bin/lumivane");
    EXPECT_EQ(FindExistingHelpFile(m_program), std::nullopt);
    EXPECT_EQ(FindHelpFile(m_program), m_beside);
}

TEST_F(WinAppFindHelp, PassesOverAFolderOfTheHelpFilesName)
{
    m_tree.WriteFile("bin/lumivane");
    m_tree.MakeDirectory("bin/lumivane.HLP");
    m_tree.WriteFile("share/lumivane/lumivane.HLP", "[1] Installed\n");
    EXPECT_EQ(FindHelpFile(m_program), m_installed);
}

TEST_F(WinAppFindHelp, FollowsALinkToTheHelpFile)
{
    m_tree.WriteFile("bin/lumivane");
    m_tree.WriteFile("doc/help.txt", "[1] Linked\n");
    m_tree.Symlink(m_tree / "doc/help.txt", "bin/lumivane.HLP");
    EXPECT_EQ(FindHelpFile(m_program), m_beside);
}

} // namespace
