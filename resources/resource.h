// Resource identifiers of orvalin.exe (shared by the .rc file and the code).
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN_DIALOG 102
#define IDR_MAINFRAME 128
#define IDI_TRAY 132
#define IDD_SUMMARY 134
#define IDD_ADDSCHEDULE 139
#define IDR_TRAYMENU 140

#define IDC_DATE 1001
#define IDC_TIME 1002
#define IDC_ONCE 1003
#define IDC_DAILY 1004
#define IDC_WEEKLY 1005
#define IDC_MONTHLY 1006

#define ID_TRAY_SHOW 32771
#define ID_TRAY_CLOSE 32773
#define ID_TRAY_RUN 32774
#define ID_TRAY_SCHEDULE 32775
#define ID_TRAY_LIVEUPDATE 32776
#define ID_TRAY_SUPPORT 32777
