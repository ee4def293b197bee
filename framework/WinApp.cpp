#include "WinApp.h"

#include "Dialog.h"

namespace {
CWinApp* g_pApp = nullptr;
const std::string kDefaultTitle = "lumivane";
const std::string kDefaultHelpPath = "lumivane.HLP";
constexpr const char* kHelpExtension = ".HLP";

std::string::size_type FileNameStart(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
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
    m_strHelpFilePath = DeriveHelpFilePath(executablePath);
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
