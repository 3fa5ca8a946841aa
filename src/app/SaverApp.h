// CSaverApp: the application object. Reads the screen-saver switch and runs the process in one
// mode: run, preview, configuration or password change.
#pragma once

#include "framework/WinApp.h"

#include <string>
#include <vector>

class CWnd;

class CSaverApp : public CWinApp {
public:
    CSaverApp();
    ~CSaverApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The saver's data directory (ending in "\"), or empty. Uses none of the settings.
    std::string GetDataDirectory();
    // Shows the configuration dialog modally; without a parent, OK opens the Display control panel.
    void RunConfigDialog(CWnd* pParent);
    // Opens url in the web browser; TRUE when a browser was started.
    BOOL OpenUrlInBrowser(const char* url, BOOL showError);

    // Settings, read by the movie window's start-up from the settings file.
    std::string m_strMovie;     // a URL, or the data directory followed by "FILE0000.SWF"
    std::string m_strKeys;      // characters whose keys the movie keeps in key mode 2
    int m_nKeyMode = 0;
    BOOL m_bMouseEndsSaver = 0;
    // The preview window's client size; a width of 0 means run mode.
    int m_nPreviewWidth = 0;
    int m_nPreviewHeight = 0;

private:
    void RunSaver();
    void RunPreview(HWND hWndParent);
    BOOL ChangePassword(HWND hWndOwner);
};

CSaverApp& SaverApp();

// The blanking windows over the monitors other than the primary one, in creation order; they
// are owned here and destroyed by ExitInstance.
extern std::vector<CWnd*> g_blankWindows;

BOOL CALLBACK BlankMonitorProc(HMONITOR hMonitor, HDC hdc, LPRECT lprc, LPARAM lParam);
