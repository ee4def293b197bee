// CWinApp: the application object. It knows the application title (the caption of every
// message box) and the help file path, both derived from the executable's path.
#pragma once

#include <string>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Derives the title and help path from the executable, then runs InitInstance.
    int Run(const std::string& executablePath);

    virtual bool InitInstance() { return false; }
    virtual int ExitInstance() { return 0; }

    // The Help command: opens, through the main window, the topic of the innermost dialog
    // running modally.
    virtual void OnHelp();

    std::string m_strTitle = "lumivane";
    std::string m_strHelpFilePath = "lumivane.HLP";
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
const std::string& AfxGetAppTitle();
const std::string& AfxGetHelpFilePath();

// The executable's file name without its extension.
std::string DeriveAppTitle(const std::string& executablePath);
// The executable's path with its extension replaced by ".HLP"; a name without an extension
// gets ".HLP" appended (a dot in a folder name, or the leading dot of a hidden file's name, is
// never taken for one).
std::string DeriveHelpFilePath(const std::string& executablePath);
