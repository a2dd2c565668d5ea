#pragma once
// info page: control ids and own bitmaps.

// Page column
#define IDC_INFO_CLOSE 1015
#define IDC_INFO_TO_MAIN 1016
#define IDC_INFO_TO_HIFI 1017
#define IDC_INFO_TO_DIGITAL 1018
#define IDC_INFO_TO_HP 1085
#define IDC_INFO_TO_INFO 1019

// Text lines
#define IDC_INFO_OS 1020
#define IDC_INFO_DRIVER 1021
#define IDC_INFO_PANEL 1022
#define IDC_INFO_DIRECTX 1023
#define IDC_INFO_TITLE 1024
#define IDC_INFO_COPYRIGHT 1025
#define IDC_INFO_ADDRESS 1026
