// Resource ids of Orvane_Assistant.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_XUI_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_SELECTPRO 183
#define IDB_SELECT_BACKGROUND 189
#define IDB_VENDOR2 191
#define IDB_VENDOR1 193
#define IDC_VENDOR2 1005
#define IDC_EXPLORER 1001
#define IDM_ABOUTBOX 0x0010
