// Identifiers shared by the resource script and the code.
#pragma once

#define IDI_PROGRAM 1
#define IDI_DOCUMENT 2

#define IDD_PROGRAM_DATA 101

#define IDC_MEMO_TEXT 1000
#define IDC_YEAR 1002
#define IDC_MONTH 1003
#define IDC_DAY 1004
#define IDC_START_HOUR 1005
#define IDC_START_MINUTE 1006
#define IDC_TITLE 1007
#define IDC_LEAD_MINUTES 1008
#define IDC_DELETE_WHEN_DONE 1013
#define IDC_LEAD_SPIN 1015
