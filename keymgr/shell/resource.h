// Resource and command identifiers of ZVApp.
#pragma once

#define IDR_MAINFRAME 128   // frame menu, application icon, document template
#define IDR_TRAY_MENU 145
#define IDI_TOKEN 128
#define IDB_POPUP_BACKGROUND 146
#define IDC_POPUP_HAND 147
#define IDD_ZVAPP_FORM 102

#define ID_APP_ABOUT 0xE140
#define ID_SHOW_MANAGER 32775
#define ID_REFRESH 32776
#define ID_APP_EXIT_CONFIRM 32777

#define IDD_ABOUTBOX 100
#define IDC_VIEW_DEVICE_LIST 1003
#define IDC_VIEW_PROMPT 1026
#define IDC_VIEW_REFRESH 1013
