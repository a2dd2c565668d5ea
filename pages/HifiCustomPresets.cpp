// User presets: the curve on the band sliders stored under a name in
// Custom\<name>, chosen from the preset list, deleted with "-". The preset
// chosen last carries flag 1 and comes back at the next start while
// Customize is 1.
#include "ControlPlacement.h"
#include "DlgHifi.h"

#include "Handles.h"
#include "Settings.h"
#include "TransferTexts.h"

std::vector<std::wstring> CDlgHifi::ListedPresetNames() const
{
    std::vector<std::wstring> names;
    const int count = m_presetList.GetCount();
    for (int j = 0; j < count; ++j)
        names.push_back(m_presetList.GetLBText(j));
    return names;
}

void CDlgHifi::RepaintControlArea(const CWnd& control)
{
    if (!control.m_hWnd)
        return;
    RECT rc = ControlRectOnPage(m_hWnd, control.m_hWnd);
    InvalidateRect(&rc, TRUE);
    ::InvalidateRect(control.m_hWnd, nullptr, TRUE);
}

int CDlgHifi::FindFlaggedPreset()
{
    const int count = m_presetList.GetCount();
    for (int j = 0; j < count; ++j) {
        const std::wstring name = hifi::TrimSpaces(m_presetList.GetLBText(j));
        if (settings::Read(name, settings::kPresetFlag) == 1)
            return j;
    }
    return count;
}

void CDlgHifi::SelectCustomPreset()
{
    const int chosen = m_presetList.GetCurSel();
    const std::wstring name = chosen >= 0 ? m_presetList.GetLBText(chosen) : std::wstring();
    RepaintControlArea(m_presetList);

    for (size_t i = 0; i < m_bands.size(); ++i)
        m_bands[i].SetPos(hifi::GainToSliderPos(settings::Read(name, settings::kPresetBands[i])));
    // Sent whether or not the equalizer switch is on.
    SendEqGains(SliderGains());

    const int count = m_presetList.GetCount();
    for (int j = 0; j < count; ++j) {
        const std::wstring entry = hifi::TrimSpaces(m_presetList.GetLBText(j));
        settings::Write(entry, settings::kPresetFlag, j == chosen ? 1 : 0);
    }
    settings::Write(settings::kCustomPresetChosen, 1);
}

void CDlgHifi::SaveCustomPreset()
{
    const std::wstring name = hifi::TrimSpaces(m_nameBox.GetWindowText());
    hifi::NameCheck check = hifi::CheckPresetName(name, ListedPresetNames());
    // A preset stored earlier but not listed now (the list is only filled
    // while the equalizer is on) is a duplicate as well: saving over it would
    // silently replace its curve.
    if (check == hifi::NameCheck::Ok && settings::PresetExists(name))
        check = hifi::NameCheck::Duplicate;

    if (check == hifi::NameCheck::Duplicate) {
        ShowPresetWarning(check);
        m_nameBox.SetWindowText(L"");
        m_nameBox.Invalidate();
        return;
    }
    if (check == hifi::NameCheck::Invalid) {
        ShowPresetWarning(check);
        return;
    }

    const int added = m_presetList.AddString(name);
    m_presetList.SetCurSel(added >= 0 ? added : m_presetList.GetCount() - 1);
    m_nameBox.SetWindowText(L"");

    const std::wstring chosen = m_presetList.GetWindowText();
    const hifi::GainArray gains = SliderGains();
    for (size_t i = 0; i < gains.size(); ++i)
        settings::Create(chosen, settings::kPresetBands[i], gains[i]);

    const std::wstring current = hifi::TrimSpaces(chosen);
    const int count = m_presetList.GetCount();
    for (int j = 0; j < count; ++j) {
        const std::wstring entry = hifi::TrimSpaces(m_presetList.GetLBText(j));
        if (entry == current)
            settings::Create(entry, settings::kPresetFlag, 1);
        else
            settings::Write(entry, settings::kPresetFlag, 0);
    }
    settings::Write(settings::kCustomPresetChosen, 1);
    RepaintControlArea(m_presetList);
    RepaintControlArea(m_nameBox);
}

void CDlgHifi::ShowPresetWarning(hifi::NameCheck problem)
{
    const std::optional<model::Language> language =
        model::LanguageFromNumber(settings::Read(settings::kLanguage));
    const hifi::Warning warning = hifi::PresetWarning(problem, language);
    if (warning.text)
        ::MessageBoxW(m_hWnd, warning.text, warning.caption, MB_OK | MB_ICONEXCLAMATION);
}

void CDlgHifi::DeleteCustomPreset()
{
    const int chosen = m_presetList.GetCurSel();
    if (chosen >= 0) {
        const std::wstring name = m_presetList.GetLBText(chosen);
        settings::DeletePreset(name);
        m_presetList.DeleteString(chosen);
    }
    m_presetList.SetCurSel(m_presetList.GetCount() - 1);
    SelectCustomPreset();
}

std::wstring CDlgHifi::ChosenPreset() const
{
    const int chosen = m_presetList.GetCurSel();
    return chosen >= 0 ? m_presetList.GetLBText(chosen) : std::wstring();
}

void CDlgHifi::OnContextMenu(HWND clicked, POINT screen)
{
    // A right click on the preset list offers the chosen preset to other
    // equalizers; the main dialog asks for the file and writes it.
    if (clicked != m_presetList.m_hWnd || !m_presetList.IsWindowEnabled() || ChosenPreset().empty())
        return;
    if (screen.x == -1 && screen.y == -1) { // from the keyboard: below the list
        const RECT rc = m_presetList.GetWindowRect();
        screen = POINT{rc.left, rc.bottom};
    }
    fw::UniqueMenu menu(::CreatePopupMenu());
    if (!menu)
        return;
    const model::Language language = transfertexts::WordingLanguage(settings::Read(settings::kLanguage));
    ::AppendMenuW(menu.get(), MF_STRING, ID_EXPORT_PRESET,
                  transfertexts::Say(transfertexts::Text::MenuExportPreset, language).c_str());
    const UINT command = static_cast<UINT>(::TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON |
                                                                           TPM_RETURNCMD | TPM_NONOTIFY,
                                                             screen.x, screen.y, 0, m_hWnd, nullptr));
    if (command == ID_EXPORT_PRESET)
        ::SendMessageW(::GetWindow(m_hWnd, GW_OWNER), WM_COMMAND, ID_EXPORT_PRESET, 0);
}
