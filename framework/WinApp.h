// CWinApp: the application object. It knows the application title (the caption of every
// message box) and the help file path, both derived from the executable's path.
#pragma once

#include <optional>
#include <string>
#include <vector>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Derives the title from the executable and finds its help file (FindHelpFile), then runs
    // InitInstance.
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
// Where an installed program keeps its help file: the same file name in ../share/lumivane/
// beside the executable's folder, whatever the prefix it was installed under.
std::string DeriveInstalledHelpFilePath(const std::string& executablePath);
// The places the help file is looked for, in order: beside the executable, then installed.
std::vector<std::string> HelpFileCandidates(const std::string& executablePath);
// The first candidate that is a regular file (or a link to one), or nothing. Looks at the
// files without opening them.
std::optional<std::string> FindExistingHelpFile(const std::string& executablePath);
// The help file the program uses: the existing one, else the one beside the executable, so
// that a missing help file fails as it always has.
std::string FindHelpFile(const std::string& executablePath);
