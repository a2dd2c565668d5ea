#pragma once
// hp page: control ids and own bitmaps.

// Page column
#define IDC_HP_CLOSE 1085
#define IDC_HP_TO_MAIN 1091
#define IDC_HP_TO_HIFI 1092
#define IDC_HP_TO_DIGITAL 1093
#define IDC_HP_TO_HP 1094
#define IDC_HP_TO_INFO 1095

// Controls
#define IDC_HP_CROSSOVER 1086
#define IDC_HP_SPEAKER_SIZE 1088
#define IDC_HP_IMPEDANCE 1089
#define IDC_HP_FLEX_BASS 1090

// Bitmaps (the crossover channel 319 and the switch levers 320/321 are shared)
#define IDB_HP_FLEX_BASS_ON 322
#define IDB_HP_FLEX_BASS_OFF 323
