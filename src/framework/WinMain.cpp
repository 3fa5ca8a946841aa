// The process entry point of a framework application. Kept in a file of its own so that test
// programs, which have their own main(), link the framework without it.
#include "framework/WinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, lpCmdLine, nCmdShow);
}
