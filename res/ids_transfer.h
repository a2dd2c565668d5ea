#pragma once
// The equalizer import dialog (template 150): control ids.

#define IDC_EQ_FILE_LABEL 1201
#define IDC_EQ_FILE 1202
#define IDC_EQ_NAME_LABEL 1203
#define IDC_EQ_NAME 1204
#define IDC_EQ_REPORT 1205
