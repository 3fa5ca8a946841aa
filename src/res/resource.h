// Resource numbers shared by the resource script and the code that loads the resources.
#pragma once

#define IDI_SAVER 128

#define IDS_SCREEN_SAVER_CAPTION 20

#define IDD_ORDER_INFO 104
#define IDD_WARRANTY 105
#define IDD_FLASH_REQUIRED 131
#define IDD_CONFIG 2003

// A warranty text may be added as a resource of the string type "TEXT" with this number;
// this script carries none.
#define IDR_WARRANTY_TEXT 100

#define IDC_WARRANTY 5
#define IDC_NAME 1000
#define IDC_DESCRIPTION 1001
#define IDC_ORDER_INFO 1002
#define IDC_TROUBLESHOOTING 1004
#define IDC_WARRANTY_TEXT 1007
#define IDC_LINK 1090

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
