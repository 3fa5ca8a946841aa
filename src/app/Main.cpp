// The application object: the one static object that the framework's entry point runs.
#include "app/SaverApp.h"

CSaverApp theApp;
