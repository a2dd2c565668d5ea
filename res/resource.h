#pragma once
// Resource ids shared by every page: dialogs, menu, strings, icon, cursor,
// page backgrounds, the page column and the bitmaps of the shared controls.
// Each page's own control ids live in its ids_<page>.h beside this file.

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_ZEPHRIN_DIALOG 102
#define IDD_DLG_HIFI 141
#define IDD_DLG_DIGITAL 142
#define IDD_DLG_INFO 143
#define IDD_DLG_HP 318
#define IDD_EQ_IMPORT 150

// Strings, menu, icon, cursor
#define IDS_ABOUTBOX 101
#define IDR_MAINFRAME 128
#define IDR_TRAY_MENU 282
#define IDC_KNOB_CURSOR 1022

// Tray menu commands
#define ID_LANG_TRADITIONAL 32779
#define ID_LANG_SIMPLIFIED 32780
#define ID_LANG_ENGLISH 32781
#define ID_SHOW_PANEL 32782
#define ID_EXIT 32783
#define ID_EXPORT_SETTINGS 32784
#define ID_IMPORT_SETTINGS 32785
#define ID_IMPORT_EQUALIZER 32786

// The Hifi page's preset-list menu
#define ID_EXPORT_PRESET 32787

// About entry of the system menu
#define IDM_ABOUTBOX 0x0010

// Page backgrounds: language 0 (Traditional Chinese), 1 (Simplified), 2 (English)
#define IDB_MAIN_BG_TC 140
#define IDB_MAIN_BG_SC 139
#define IDB_MAIN_BG_EN 138
#define IDB_HIFI_BG_TC 246
#define IDB_HIFI_BG_SC 245
#define IDB_HIFI_BG_EN 244
#define IDB_DIGITAL_BG_TC 131
#define IDB_DIGITAL_BG_SC 130
#define IDB_DIGITAL_BG_EN 129
#define IDB_INFO_BG_TC 137
#define IDB_INFO_BG_SC 136
#define IDB_INFO_BG_EN 135
#define IDB_HP_BG_TC 326
#define IDB_HP_BG_SC 325
#define IDB_HP_BG_EN 324

// Page column: close button and the five page buttons (lit, grey)
#define IDB_CLOSE_NORMAL 153
#define IDB_CLOSE_PRESSED 152
#define IDB_PAGE_MAIN_LIT 327
#define IDB_PAGE_MAIN_GREY 328
#define IDB_PAGE_HIFI_LIT 329
#define IDB_PAGE_HIFI_GREY 330
#define IDB_PAGE_DIGITAL_LIT 331
#define IDB_PAGE_DIGITAL_GREY 332
#define IDB_PAGE_HP_LIT 333
#define IDB_PAGE_HP_GREY 334
#define IDB_PAGE_INFO_LIT 335
#define IDB_PAGE_INFO_GREY 336

// Shared control bitmaps
#define IDB_LEVER_UP 320
#define IDB_LEVER_DOWN 321
#define IDB_KNOB_FACE_LARGE 165
#define IDB_KNOB_FACE_SMALL 166
#define IDB_BAND_CHANNEL_FIRST 290 // 290 ... 299, one per equalizer band
#define IDB_BAND_THUMB 264
#define IDB_BALANCE_CHANNEL_DIGITAL 300
#define IDB_BALANCE_THUMB 302
#define IDB_BALANCE_CHANNEL_MASTER 303
#define IDB_CROSSOVER_CHANNEL 319
#define IDB_COMBO_FACE_LIST 314
#define IDB_COMBO_FACE_EDIT 315

#include "ids_main.h"
#include "ids_hifi.h"
#include "ids_digital.h"
#include "ids_info.h"
#include "ids_hp.h"
#include "ids_transfer.h"
#define IDC_STATIC -1
