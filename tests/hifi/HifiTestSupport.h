#pragma once
// A real Hifi page for the tests: created modelessly from its template,
// owned by a window that records the page's requests to the main dialog, on
// the test prefix's registry and the simulated card.
#include "DlgHifi.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hifitest {

extern const std::wstring kRoot;     // Software\Marvolin\VANTIR
extern const std::wstring kHifiKey;  // ...\Hifi
extern const std::wstring kCustomKey; // ...\Custom

// One call of the simulated card's journal.
struct Call {
    std::string op;
    std::vector<int32_t> args;
    bool operator==(const Call&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Call& call);
std::vector<Call> Journal();
Call GainCall(const hifi::GainArray& gains);

// What a message box showed.
struct BoxSeen {
    bool shown = false;
    std::wstring text;
    std::wstring caption;
};

class HifiPageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Store helpers (subkey Hifi unless given).
    static void Set(const std::wstring& name, const std::wstring& value);
    static std::wstring Get(const std::wstring& name);
    static void SetLanguage(int language);
    static void SavePreset(const std::wstring& name, const hifi::GainArray& gains, int flag);

    // Creates and shows the page, then empties the journal unless asked.
    void CreatePage(bool keepJournal = false);

    // The page-coordinate centre of a control.
    POINT Centre(UINT id) const;
    RECT Rect(UINT id) const;
    // A press on the page that must not start a window move.
    void Press(POINT pt);
    void Press(UINT id) { Press(Centre(id)); }
    // A press followed by a release, pumped: returns how many window moves
    // the press started.
    int PressCountingMoves(POINT pt);
    void Command(UINT id, UINT code = BN_CLICKED);
    bool State(UINT id) const;
    // Drags band slider `band` with mouse messages to pixel y of the slider.
    void DragBand(int band, int y);
    // Runs `action`; a message box the page shows meanwhile is read and
    // closed with OK the moment it is activated.
    BoxSeen WatchForBox(const std::function<void()>& action);
    std::vector<std::wstring> ListEntries() const;

    testsupport::RegistrySnapshot m_snapshot{L"Software\\Marvolin\\VANTIR"};
    HWND m_owner = nullptr;
    std::unique_ptr<CDlgHifi> m_page;
    int m_moves = 0;
};

} // namespace hifitest
