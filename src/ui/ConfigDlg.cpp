#include "app/SaverApp.h"

void CSaverApp::RunConfigDialog(CWnd*)
{
}

BOOL CSaverApp::OpenUrlInBrowser(const char*, BOOL)
{
    return FALSE;
}
