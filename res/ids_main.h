#pragma once
// Main page (the main dialog, template 102): control ids and own bitmaps.

// Page column
#define IDC_MAIN_CLOSE 1000
#define IDC_MAIN_TO_MAIN 1001
#define IDC_MAIN_TO_HIFI 1002
#define IDC_MAIN_TO_DIGITAL 1003
#define IDC_MAIN_TO_INFO 1004
#define IDC_MAIN_TO_HP 1087

// Controls
#define IDC_MASTER_KNOB 1022
#define IDC_DIGITAL_KNOB 1023
#define IDC_MASTER_MUTE 1026
#define IDC_DIGITAL_MUTE 1027
#define IDC_MASTER_BALANCE 1047
#define IDC_DIGITAL_BALANCE 1049
#define IDC_MAIN_RESET 1085
#define IDC_OUTPUT_SWITCH 1097

// Bitmaps
#define IDB_RESET_NORMAL 149
#define IDB_RESET_PRESSED 148
#define IDB_MASTER_MUTE_OFF 171
#define IDB_MASTER_MUTE_ON 172
#define IDB_DIGITAL_MUTE_OFF 173
#define IDB_DIGITAL_MUTE_ON 174
