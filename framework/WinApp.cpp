#include "WinApp.h"

#include "Dialog.h"

#include <filesystem>
#include <system_error>

namespace {
CWinApp* g_pApp = nullptr;
const std::string kDefaultTitle = "lumivane";
const std::string kDefaultHelpPath = "lumivane.HLP";
constexpr const char* kHelpExtension = ".HLP";
// An installed tree: <prefix>/bin/lumivane and <prefix>/share/lumivane/lumivane.HLP.
constexpr const char* kInstalledDataFolders[] = {"share", "lumivane"};
constexpr const char* kSeparators = "/\\";

std::string::size_type FileNameStart(const std::string& path)
{
    const auto slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? 0 : slash + 1;
}

// The folder above `folder` (which has no trailing separator), ending in `separator`; empty
// for the working folder.
std::string FolderAbove(std::string folder, char separator)
{
    while (!folder.empty() && std::string(kSeparators).find(folder.back()) != std::string::npos)
        folder.pop_back();
    if (folder.empty())
        return std::string(1, separator); // the root is its own parent
    const auto nameStart = FileNameStart(folder);
    const std::string name = folder.substr(nameStart);
    // "." and ".." cannot be undone by dropping them, nor can a drive ("C:").
    if (name == "." || name == ".." || name.back() == ':')
        return folder + separator + ".." + separator;
    return folder.substr(0, nameStart);
}
} // namespace

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

int CWinApp::Run(const std::string& executablePath)
{
    m_strTitle = DeriveAppTitle(executablePath);
    m_strHelpFilePath = FindHelpFile(executablePath);
    if (!InitInstance()) {
        m_pMainWnd = nullptr;
        return ExitInstance();
    }
    return ExitInstance();
}

void CWinApp::OnHelp()
{
    const CDialog* active = CDialog::ActiveModal();
    if (active == nullptr || m_pMainWnd == nullptr)
        return;
    m_pMainWnd->WinHelp(active->HelpContextId(), HELP_CONTEXT);
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

const std::string& AfxGetAppTitle()
{
    return g_pApp != nullptr ? g_pApp->m_strTitle : kDefaultTitle;
}

const std::string& AfxGetHelpFilePath()
{
    return g_pApp != nullptr ? g_pApp->m_strHelpFilePath : kDefaultHelpPath;
}

std::string DeriveAppTitle(const std::string& executablePath)
{
    std::string name = executablePath.substr(FileNameStart(executablePath));
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

std::string DeriveHelpFilePath(const std::string& executablePath)
{
    const auto start = FileNameStart(executablePath);
    const auto dot = executablePath.rfind('.');
    // A hidden file's leading dot is part of its name, as the title keeps it.
    if (dot == std::string::npos || dot <= start)
        return executablePath + kHelpExtension;
    return executablePath.substr(0, dot) + kHelpExtension;
}

std::string DeriveInstalledHelpFilePath(const std::string& executablePath)
{
    const auto nameStart = FileNameStart(executablePath);
    const std::string helpName = DeriveHelpFilePath(executablePath).substr(nameStart);
    // A bare name runs from the working folder.
    const char separator = nameStart == 0 ? '/' : executablePath[nameStart - 1];
    std::string path = nameStart == 0
                           ? std::string("..") + separator
                           : FolderAbove(executablePath.substr(0, nameStart - 1), separator);
    for (const char* folder : kInstalledDataFolders)
        path += std::string(folder) + separator;
    return path + helpName;
}

std::vector<std::string> HelpFileCandidates(const std::string& executablePath)
{
    return {DeriveHelpFilePath(executablePath), DeriveInstalledHelpFilePath(executablePath)};
}

std::optional<std::string> FindExistingHelpFile(const std::string& executablePath)
{
    for (const std::string& path : HelpFileCandidates(executablePath)) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            return path;
    }
    return std::nullopt;
}

std::string FindHelpFile(const std::string& executablePath)
{
    return FindExistingHelpFile(executablePath).value_or(DeriveHelpFilePath(executablePath));
}
