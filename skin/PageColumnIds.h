#pragma once
// The page column's control ids on every page, in one table: the panel binds
// its buttons by it, and the tests, wintool and the end-to-end drivers find
// the buttons by it. The drivers read this file as text: keep each id written
// by its name from res/ids_<page>.h (IDC_<PAGE>_CLOSE, IDC_<PAGE>_TO_<PAGE>).
#include "PanelModel.h"
#include "resource.h"

#include <windows.h>

// Slots of the column, in the order its buttons are constructed: the close
// button, then the buttons for Main, Hifi, Digital, Hp and Info.
enum PageColumnSlot { kColumnClose = 0, kColumnToMain, kColumnToHifi, kColumnToDigital, kColumnToHp, kColumnToInfo,
                      kColumnSlotCount };

// [page][slot], rows in page number order. The Hp page's close button and the
// other pages' Hp buttons share one id (each on its own page).
constexpr UINT kPageColumnIds[model::kPageCount][kColumnSlotCount] = {
    {IDC_MAIN_CLOSE, IDC_MAIN_TO_MAIN, IDC_MAIN_TO_HIFI, IDC_MAIN_TO_DIGITAL, IDC_MAIN_TO_HP, IDC_MAIN_TO_INFO},
    {IDC_HIFI_CLOSE, IDC_HIFI_TO_MAIN, IDC_HIFI_TO_HIFI, IDC_HIFI_TO_DIGITAL, IDC_HIFI_TO_HP, IDC_HIFI_TO_INFO},
    {IDC_DIGITAL_CLOSE, IDC_DIGITAL_TO_MAIN, IDC_DIGITAL_TO_HIFI, IDC_DIGITAL_TO_DIGITAL, IDC_DIGITAL_TO_HP,
     IDC_DIGITAL_TO_INFO},
    {IDC_INFO_CLOSE, IDC_INFO_TO_MAIN, IDC_INFO_TO_HIFI, IDC_INFO_TO_DIGITAL, IDC_INFO_TO_HP, IDC_INFO_TO_INFO},
    {IDC_HP_CLOSE, IDC_HP_TO_MAIN, IDC_HP_TO_HIFI, IDC_HP_TO_DIGITAL, IDC_HP_TO_HP, IDC_HP_TO_INFO},
};

// The slot of the button that shows page `target`.
constexpr PageColumnSlot ColumnSlotFor(model::Page target)
{
    switch (target) {
    case model::Page::Main:
        return kColumnToMain;
    case model::Page::Hifi:
        return kColumnToHifi;
    case model::Page::Digital:
        return kColumnToDigital;
    case model::Page::Info:
        return kColumnToInfo;
    case model::Page::Hp:
        return kColumnToHp;
    }
    return kColumnClose;
}

// The control id of a slot on `page`.
constexpr UINT PageColumnId(model::Page page, PageColumnSlot slot)
{
    return kPageColumnIds[model::Number(page)][slot];
}

// The control id on `page` of its button for page `target`.
constexpr UINT PageColumnId(model::Page page, model::Page target)
{
    return PageColumnId(page, ColumnSlotFor(target));
}
