// The Win32 tests run as one program under Wine. The framework code under test reads the
// application object, so the program has one, as the saver does.
#include "app/SaverApp.h"

#include <gtest/gtest.h>

CSaverApp theApp;

int main(int argc, char** argv)
{
    theApp.m_hInstance = ::GetModuleHandleA(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
