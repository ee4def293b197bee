#include "TempDir.h"

#include <cerrno>
#include <fstream>
#include <system_error>
#include <vector>

#include <stdlib.h>

CTempDir::CTempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lumivane-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // Never fall back to the working directory: the tree must stay private to the test.
    if (::mkdtemp(name.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp");
    m_path = name.data();
}

CTempDir::~CTempDir()
{
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}

void CTempDir::MakeDirectory(const std::string& relative) const
{
    std::filesystem::create_directories(m_path / relative);
}

void CTempDir::WriteFile(const std::string& relative, const std::string& content) const
{
    const auto file = m_path / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

void CTempDir::Symlink(const std::string& target, const std::string& relative) const
{
    const auto link = m_path / relative;
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink(target, link);
}
