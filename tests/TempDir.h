// CTempDir: a private directory for one test's fake /dev and /sys trees, removed with it.
#pragma once

#include <filesystem>
#include <string>

class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string operator/(const std::string& relative) const
    {
        return (m_path / relative).string();
    }
    // Creates the file, and the directories above it, holding `content`.
    void WriteFile(const std::string& relative, const std::string& content = {}) const;
    void MakeDirectory(const std::string& relative) const;
    void Symlink(const std::string& target, const std::string& relative) const;

private:
    std::filesystem::path m_path;
};
