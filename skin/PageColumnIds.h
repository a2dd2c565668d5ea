#pragma once
// The page column's control ids on every page, in one table: the panel binds
// its buttons by it, and the tests, wintool and the end-to-end drivers find
// the buttons by it. The drivers read this file as text: keep each id written
// by its name from res/ids_<page>.h (IDC_<PAGE>_CLOSE, IDC_<PAGE>_TO_<PAGE>).
#include "resource.h"

#include <windows.h>

// Page numbers: 0 Main, 1 Hifi, 2 Digital, 3 Info, 4 Hp.
constexpr int kColumnPageCount = 5;

// Slots of the column, in the order its buttons are constructed: the close
// button, then the buttons for Main, Hifi, Digital, Hp and Info.
enum PageColumnSlot { kColumnClose = 0, kColumnToMain, kColumnToHifi, kColumnToDigital, kColumnToHp, kColumnToInfo,
                      kColumnSlotCount };

// [page number][slot]. The Hp page's close button and the other pages' Hp
// buttons share one id (each on its own page).
constexpr UINT kPageColumnIds[kColumnPageCount][kColumnSlotCount] = {
    {IDC_MAIN_CLOSE, IDC_MAIN_TO_MAIN, IDC_MAIN_TO_HIFI, IDC_MAIN_TO_DIGITAL, IDC_MAIN_TO_HP, IDC_MAIN_TO_INFO},
    {IDC_HIFI_CLOSE, IDC_HIFI_TO_MAIN, IDC_HIFI_TO_HIFI, IDC_HIFI_TO_DIGITAL, IDC_HIFI_TO_HP, IDC_HIFI_TO_INFO},
    {IDC_DIGITAL_CLOSE, IDC_DIGITAL_TO_MAIN, IDC_DIGITAL_TO_HIFI, IDC_DIGITAL_TO_DIGITAL, IDC_DIGITAL_TO_HP,
     IDC_DIGITAL_TO_INFO},
    {IDC_INFO_CLOSE, IDC_INFO_TO_MAIN, IDC_INFO_TO_HIFI, IDC_INFO_TO_DIGITAL, IDC_INFO_TO_HP, IDC_INFO_TO_INFO},
    {IDC_HP_CLOSE, IDC_HP_TO_MAIN, IDC_HP_TO_HIFI, IDC_HP_TO_DIGITAL, IDC_HP_TO_HP, IDC_HP_TO_INFO},
};

// The slot of the button that shows page `target` (0 ... 4); the close slot
// for any other number.
constexpr PageColumnSlot ColumnSlotFor(int target)
{
    constexpr PageColumnSlot kByPage[kColumnPageCount] = {kColumnToMain, kColumnToHifi, kColumnToDigital,
                                                          kColumnToInfo, kColumnToHp};
    return target >= 0 && target < kColumnPageCount ? kByPage[target] : kColumnClose;
}

// The control id on page `page` of its button for page `target`.
constexpr UINT PageColumnId(int page, int target)
{
    return kPageColumnIds[page][ColumnSlotFor(target)];
}
