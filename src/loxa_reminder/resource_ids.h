// Identifiers shared by loxa-reminder.exe's resource script and its code.
#pragma once

#define IDI_REMINDER 1

#define IDD_NOTICE 101
#define IDD_LIST 102
#define IDD_SUMMARY 103

#define IDC_NOTICE_TITLE 1001
#define IDC_NOTICE_DUE 1002
#define IDC_NOTICE_MEMO 1003
#define IDC_LIST_VIEW 1101
#define IDC_LIST_DELETE 1102
#define IDC_SUMMARY_TEXT 1201

#define IDM_SHOW_LIST 2001
#define IDM_EXIT 2002
