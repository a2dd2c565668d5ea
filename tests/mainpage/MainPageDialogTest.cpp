// The Main page in a real main dialog, run modelessly in this process against
// the simulated card and the Core Audio stand-in of the test prefix: what the
// knobs, balance sliders, lamps, output switch and Reset do to the endpoints
// and the card, and how the page follows changes made elsewhere.
#include "AudioTestSupport.h"
#include "BitmapSlider.h"
#include "Endpoints.h"
#include "MyStaticBmp.h"
#include "SimCardControl.h"
#include "StandInControl.h"
#include "TestSupport.h"
#include "ZephrinDlg.h"

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

const wchar_t kCardEndpointName[] = L"VANTIR Digital Output (S/PDIF)";
constexpr int kSpeakers = 0x00140004;

struct Levels {
    float left;
    float right;
};

// ---------------------------------------------------------------------------
// The endpoints as the panel's own operations see them. Changes made through
// them carry the panel's event context, so the listeners report them as the
// panel's own (WM_VOLUME_CHANGED 10) and the page does not refresh.

Levels DefaultLevels()
{
    Levels l{-1.0f, -1.0f};
    GetDefaultChannelVolume(0, &l.left);
    GetDefaultChannelVolume(1, &l.right);
    return l;
}

Levels CardLevels(const std::wstring& id)
{
    Levels l{-1.0f, -1.0f};
    GetEndpointChannelVolume(id, 0, &l.left);
    GetEndpointChannelVolume(id, 1, &l.right);
    return l;
}

bool DefaultMuted()
{
    BOOL muted = FALSE;
    GetDefaultMute(&muted);
    return muted != FALSE;
}

bool CardMuted(const std::wstring& id)
{
    BOOL muted = FALSE;
    GetEndpointMute(id, &muted);
    return muted != FALSE;
}

// Another program's change: through Core Audio with its own (empty) context.
void SetLevelsAsAnotherProgram(const std::wstring& id, Levels levels)
{
    IMMDeviceEnumerator* enumerator = nullptr;
    ASSERT_EQ(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                 reinterpret_cast<void**>(&enumerator)),
              S_OK);
    IMMDevice* device = nullptr;
    HRESULT hr = id.empty() ? enumerator->GetDefaultAudioEndpoint(eRender, eMultimedia, &device)
                            : enumerator->GetDevice(id.c_str(), &device);
    ASSERT_EQ(hr, S_OK);
    IAudioEndpointVolume* volume = nullptr;
    ASSERT_EQ(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&volume)),
              S_OK);
    EXPECT_EQ(volume->SetChannelVolumeLevelScalar(0, levels.left, nullptr), S_OK);
    EXPECT_EQ(volume->SetChannelVolumeLevelScalar(1, levels.right, nullptr), S_OK);
    volume->Release();
    device->Release();
    enumerator->Release();
}

std::wstring EndpointIdByName(const wchar_t* name)
{
    wchar_t id[128] = {};
    if (FAILED(CasFindEndpointByName(name, id, 128)))
        return {};
    return id;
}

int RegisteredVolumeCallbacks()
{
    int32_t counts[3] = {};
    CasGetRegistrations(::GetCurrentProcessId(), counts);
    return counts[0];
}

// ---------------------------------------------------------------------------
// The simulated card's journal.

std::vector<std::vector<int32_t>> SpeakerWrites()
{
    std::vector<std::vector<int32_t>> writes;
    for (int32_t i = 0; i < SimCard_JournalCount(); ++i) {
        SimCardCall call{};
        if (SimCard_JournalEntry(i, &call) && std::string(call.op) == "CMSUP_SetSpkData")
            writes.emplace_back(call.args, call.args + call.argCount);
    }
    return writes;
}

// ---------------------------------------------------------------------------
// A main dialog created as at start-up, shown, with its audio set-up done
// (or, for `expectCardEndpoint` false, still waiting for the card endpoint).

class Panel {
public:
    explicit Panel(bool expectCardEndpoint)
    {
        const int registeredBefore = RegisteredVolumeCallbacks();
        m_dlg = std::make_unique<CZephrinDlg>(0); // shown at once, not hidden in the tray
        m_created = m_dlg->Create(CZephrinDlg::IDD, nullptr) != FALSE;
        if (!m_created)
            return;
        m_dlg->ShowWindow(SW_SHOWNOACTIVATE);
        if (expectCardEndpoint)
            m_ready = PumpUntil([&] { return RegisteredVolumeCallbacks() > registeredBefore; }, 10s);
        PumpMessages(100ms);
    }
    ~Panel()
    {
        if (m_dlg && m_dlg->m_hWnd)
            ::DestroyWindow(m_dlg->m_hWnd);
        PumpMessages(50ms);
    }
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    bool created() const { return m_created && ::IsWindow(hwnd()); }
    bool ready() const { return m_ready; }
    HWND hwnd() const { return m_dlg ? m_dlg->m_hWnd : nullptr; }
    const std::wstring& cardId() const { return m_dlg->GetEndpoints().cardId; }
    HWND item(int id) const { return ::GetDlgItem(hwnd(), id); }

    int knob(int id) const { return static_cast<int>(::SendMessageW(item(id), TBM_GETPOS, 0, 0)); }
    CBitmapSlider& slider(int id) const { return *dynamic_cast<CBitmapSlider*>(CWnd::FromHandlePermanent(item(id))); }
    CMyStaticBmp& picture(int id) const { return *dynamic_cast<CMyStaticBmp*>(CWnd::FromHandlePermanent(item(id))); }
    // The bitmap a toggle shows, as its on/off state: true on, false off,
    // and a failure when the shown image is neither of its two bitmaps.
    bool shows(int id) const
    {
        CMyStaticBmp& p = picture(id);
        auto shown = reinterpret_cast<HBITMAP>(::SendMessageW(item(id), STM_GETIMAGE, IMAGE_BITMAP, 0));
        EXPECT_TRUE(shown == p.GetOnBitmap() || shown == p.GetOffBitmap()) << "toggle " << id;
        EXPECT_EQ(shown == p.GetOnBitmap(), p.GetState()) << "toggle " << id;
        return shown == p.GetOnBitmap();
    }

    RECT rectOf(int id) const
    {
        RECT rc{};
        ::GetWindowRect(item(id), &rc);
        RECT page{};
        ::GetWindowRect(hwnd(), &page);
        ::OffsetRect(&rc, -page.left, -page.top);
        return rc;
    }

    // Every notice the stand-in published so far has reached the page (and
    // what the listeners posted for it has been handled): the fence's own
    // message, posted to a window of this same thread, comes after theirs.
    bool noticesArrived() const { return m_fence.Pass(); }

    LRESULT volumeChanged(WPARAM source) const { return ::SendMessageW(hwnd(), WM_VOLUME_CHANGED, source, 0); }
    void refresh() const { volumeChanged(0); }

    // The knob's own notice after a turn to `pos`.
    void turnKnob(int id, int pos) const
    {
        ::SendMessageW(item(id), TBM_SETPOS, TRUE, pos);
        ::SendMessageW(hwnd(), WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, pos), reinterpret_cast<LPARAM>(item(id)));
    }
    // The slider's own notice after a drag to `pos`.
    LRESULT moveBalance(int id, int pos) const
    {
        slider(id).SetPos(pos);
        return ::SendMessageW(hwnd(), WM_SLIDER_TRACK, id, pos);
    }

    // A left press at page point (x, y), as the window system delivers it.
    // A release is queued first: a press that starts the system's window move
    // stays in the move loop until a release arrives. True when the press
    // started a window move (the move loop took the release).
    bool press(POINT at) const
    {
        const LPARAM lp = MAKELPARAM(at.x, at.y);
        ::PostMessageW(hwnd(), WM_LBUTTONUP, 0, lp);
        ::SendMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, lp);
        MSG release{};
        return ::PeekMessageW(&release, hwnd(), WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE) == FALSE;
    }
    POINT centreOf(int id) const
    {
        RECT rc = rectOf(id);
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }

private:
    std::unique_ptr<CZephrinDlg> m_dlg;
    mutable audiotest::MessageRecorder m_recorder;
    mutable audiotest::NoticeFence m_fence{m_recorder};
    bool m_created = false;
    bool m_ready = false;
};

// Sets both endpoints quietly (as the panel would) and refreshes the page.
void SetLevelsAndRefresh(const Panel& p, Levels master, Levels digital)
{
    SetDefaultChannelVolume(0, master.left);
    SetDefaultChannelVolume(1, master.right);
    SetEndpointChannelVolume(p.cardId(), 0, digital.left);
    SetEndpointChannelVolume(p.cardId(), 1, digital.right);
    EXPECT_TRUE(p.noticesArrived());
    p.refresh();
}

#define EXPECT_LEVELS(actual, l, r)            \
    do {                                       \
        Levels got_ = (actual);                \
        EXPECT_NEAR(got_.left, (l), 1e-5);     \
        EXPECT_NEAR(got_.right, (r), 1e-5);    \
    } while (false)

// ---------------------------------------------------------------------------

class MainPage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_registry = new testsupport::RegistrySnapshot(L"Software\\Marvolin\\VANTIR");
        CasLoadDefaultScenario();
        SimCard_Reset();
        s_panel = new Panel(true);
    }
    static void TearDownTestSuite()
    {
        delete s_panel;
        s_panel = nullptr;
        CasLoadDefaultScenario();
        SimCard_Reset();
        delete s_registry;
        s_registry = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_panel->created()) << "the card check must pass in the prepared prefix";
        ASSERT_TRUE(s_panel->ready()) << "the start-up timer did not find the card endpoint";
        ASSERT_FALSE(s_panel->cardId().empty());
    }
    const Panel& panel() const { return *s_panel; }

    static Panel* s_panel;
    static testsupport::RegistrySnapshot* s_registry;
};
Panel* MainPage::s_panel = nullptr;
testsupport::RegistrySnapshot* MainPage::s_registry = nullptr;

TEST_F(MainPage, ControlsSitAtTheirPlacesWithTheirSizes)
{
    struct Expected {
        int id;
        RECT rc;
    };
    const int balanceHeight = panel().slider(IDC_MASTER_BALANCE).GetChannelHeight();
    ASSERT_GT(balanceHeight, 0);
    const Expected table[] = {
        {IDC_MASTER_KNOB, {90, 109, 140, 159}},
        {IDC_DIGITAL_KNOB, {592, 130, 622, 160}},
        {IDC_MASTER_BALANCE, {200, 151, 324, 151 + balanceHeight}},
        {IDC_DIGITAL_BALANCE, {555, 80, 679, 80 + balanceHeight}},
        {IDC_OUTPUT_SWITCH, {433, 123, 458, 163}},
        // The page column: close 43 x 27, the page buttons 73 x 33.
        {IDC_MAIN_CLOSE, {735, 9, 778, 36}},
        {IDC_MAIN_TO_MAIN, {702, 45, 775, 78}},
        {IDC_MAIN_TO_HIFI, {702, 87, 775, 120}},
        {IDC_MAIN_TO_DIGITAL, {702, 129, 775, 162}},
        {IDC_MAIN_TO_HP, {702, 171, 775, 204}},
        {IDC_MAIN_TO_INFO, {702, 210, 775, 243}},
    };
    for (const Expected& e : table) {
        RECT rc = panel().rectOf(e.id);
        EXPECT_TRUE(::EqualRect(&rc, &e.rc)) << "control " << e.id << " at (" << rc.left << ", " << rc.top << ") to ("
                                             << rc.right << ", " << rc.bottom << ")";
    }
    // Lamps and Reset are placed by their top-left corner and sized to their bitmaps.
    const struct {
        int id;
        POINT at;
    } corners[] = {{IDC_MASTER_MUTE, {92, 210}}, {IDC_DIGITAL_MUTE, {580, 210}}, {IDC_MAIN_RESET, {223, 100}}};
    for (const auto& c : corners) {
        RECT rc = panel().rectOf(c.id);
        EXPECT_EQ(rc.left, c.at.x) << c.id;
        EXPECT_EQ(rc.top, c.at.y) << c.id;
        EXPECT_GT(rc.right - rc.left, 1) << c.id;
    }
    // The knobs show the knob cursor the page gives them.
    const HCURSOR knobCursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_KNOB_CURSOR));
    ASSERT_NE(knobCursor, nullptr);
    for (int id : {IDC_MASTER_KNOB, IDC_DIGITAL_KNOB})
        EXPECT_EQ(testsupport::CursorOver(panel().item(id)), knobCursor) << id;
}

TEST_F(MainPage, RefreshShowsTheLouderChannelOnTheKnobAndTheOtherOnTheBalance)
{
    const Panel& p = panel();
    SetLevelsAndRefresh(p, {0.8f, 0.4f}, {0.4f, 0.8f});
    EXPECT_EQ(p.knob(IDC_MASTER_KNOB), 40);
    EXPECT_EQ(p.slider(IDC_MASTER_BALANCE).GetPos(), 25);
    EXPECT_EQ(p.knob(IDC_DIGITAL_KNOB), 40);
    EXPECT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 75);

    SetLevelsAndRefresh(p, {0.0f, 0.0f}, {1.0f, 1.0f});
    EXPECT_EQ(p.knob(IDC_MASTER_KNOB), 0);
    EXPECT_EQ(p.slider(IDC_MASTER_BALANCE).GetPos(), 50);
    EXPECT_EQ(p.knob(IDC_DIGITAL_KNOB), 50);
    EXPECT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 50);

    // A level the panel set itself reads back as the same knob position.
    SetLevelsAndRefresh(p, {0.58f, 0.58f}, {0.58f, 0.0f});
    EXPECT_EQ(p.knob(IDC_MASTER_KNOB), 29);
    EXPECT_EQ(p.knob(IDC_DIGITAL_KNOB), 29);
    EXPECT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 0);
}

TEST_F(MainPage, OnlyChangesMadeByAnotherProgramRefreshThePage)
{
    const Panel& p = panel();
    SetLevelsAndRefresh(p, {0.5f, 0.5f}, {0.5f, 0.5f});
    ASSERT_EQ(p.knob(IDC_MASTER_KNOB), 25);

    SetDefaultChannelVolume(0, 0.9f);
    SetDefaultChannelVolume(1, 0.9f);
    ASSERT_TRUE(p.noticesArrived());
    EXPECT_EQ(p.knob(IDC_MASTER_KNOB), 25) << "the panel's own change";
    EXPECT_EQ(p.volumeChanged(1), 1); // a hardware control changed
    EXPECT_EQ(p.knob(IDC_MASTER_KNOB), 25);
    EXPECT_EQ(p.volumeChanged(10), 1); // the panel's own change
    EXPECT_EQ(p.knob(IDC_MASTER_KNOB), 25);
    EXPECT_EQ(p.volumeChanged(0), 1); // another program's change
    EXPECT_EQ(p.knob(IDC_MASTER_KNOB), 45);
}

TEST_F(MainPage, ThePanelsOwnChangesComeBackWithoutARefreshButAnotherProgramsDoNot)
{
    const Panel& p = panel();
    SetLevelsAndRefresh(p, {0.5f, 0.5f}, {0.5f, 0.5f});
    // Knob 0 with the balance at 30 sets silence; a refresh from silence
    // would put the balance back to 50.
    p.turnKnob(IDC_MASTER_KNOB, 0);
    p.moveBalance(IDC_MASTER_BALANCE, 30);
    EXPECT_LEVELS(DefaultLevels(), 0.0f, 0.0f);
    ASSERT_TRUE(p.noticesArrived()); // the listeners' notices of the panel's own change
    EXPECT_EQ(p.slider(IDC_MASTER_BALANCE).GetPos(), 30);

    // Another program turns the default endpoint up: the page follows.
    SetLevelsAsAnotherProgram(L"", {0.6f, 0.3f});
    EXPECT_TRUE(PumpUntil([&] { return p.knob(IDC_MASTER_KNOB) == 30; }, 3s)) << p.knob(IDC_MASTER_KNOB);
    EXPECT_TRUE(PumpUntil([&] { return p.slider(IDC_MASTER_BALANCE).GetPos() == 25; }, 3s));

    // And the card's endpoint likewise.
    SetLevelsAsAnotherProgram(p.cardId(), {0.2f, 0.4f});
    EXPECT_TRUE(PumpUntil([&] { return p.knob(IDC_DIGITAL_KNOB) == 20; }, 3s)) << p.knob(IDC_DIGITAL_KNOB);
    EXPECT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 75);
}

TEST_F(MainPage, MasterKnobTurnsApplyTheMasterBalance)
{
    const Panel& p = panel();
    const struct {
        int knob;
        int balance;
        Levels expected;
    } cases[] = {
        {25, 50, {0.5f, 0.5f}},
        {50, 0, {1.0f, 0.0f}},
        {50, 100, {0.0f, 1.0f}},
        {40, 75, {0.4f, 0.8f}},
        {40, 25, {0.8f, 0.4f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "knob " << c.knob << ", balance " << c.balance);
        p.slider(IDC_MASTER_BALANCE).SetPos(c.balance);
        p.turnKnob(IDC_MASTER_KNOB, c.knob);
        EXPECT_LEVELS(DefaultLevels(), c.expected.left, c.expected.right);
    }
}

TEST_F(MainPage, BalanceMovesSetTheQuieterChannelOfTheirOwnEndpoint)
{
    const Panel& p = panel();
    SetLevelsAndRefresh(p, {0.8f, 0.8f}, {0.6f, 0.6f});
    ASSERT_EQ(p.knob(IDC_MASTER_KNOB), 40);
    ASSERT_EQ(p.knob(IDC_DIGITAL_KNOB), 30);

    EXPECT_EQ(p.moveBalance(IDC_MASTER_BALANCE, 25), 0);
    EXPECT_LEVELS(DefaultLevels(), 0.8f, 0.4f);
    EXPECT_LEVELS(CardLevels(p.cardId()), 0.6f, 0.6f);

    EXPECT_EQ(p.moveBalance(IDC_DIGITAL_BALANCE, 100), 0);
    EXPECT_LEVELS(CardLevels(p.cardId()), 0.0f, 0.6f);
    EXPECT_LEVELS(DefaultLevels(), 0.8f, 0.4f);

    // A notice from any other slider changes nothing.
    p.slider(IDC_MASTER_BALANCE).SetPos(90);
    EXPECT_EQ(::SendMessageW(p.hwnd(), WM_SLIDER_TRACK, 1086, 90), 0);
    EXPECT_LEVELS(DefaultLevels(), 0.8f, 0.4f);
}

TEST_F(MainPage, TheDigitalKnobMakesTheChannelsEqualAgainAfterABalanceMove)
{
    const Panel& p = panel();
    SetLevelsAndRefresh(p, {0.5f, 0.5f}, {0.8f, 0.8f});
    ASSERT_EQ(p.knob(IDC_DIGITAL_KNOB), 40);
    p.moveBalance(IDC_DIGITAL_BALANCE, 75);
    EXPECT_LEVELS(CardLevels(p.cardId()), 0.4f, 0.8f);

    // The master balance does not reach the digital endpoint either.
    p.slider(IDC_MASTER_BALANCE).SetPos(10);
    p.turnKnob(IDC_DIGITAL_KNOB, 40);
    EXPECT_LEVELS(CardLevels(p.cardId()), 0.8f, 0.8f);
    EXPECT_LEVELS(DefaultLevels(), 0.5f, 0.5f);

    p.refresh();
    EXPECT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 50);
    EXPECT_EQ(p.knob(IDC_DIGITAL_KNOB), 40);
}

TEST_F(MainPage, ResetCentresBothBalancesAndKeepsTheLouderLevel)
{
    const Panel& p = panel();
    SetLevelsAndRefresh(p, {0.8f, 0.4f}, {0.3f, 0.6f});
    ASSERT_EQ(p.slider(IDC_MASTER_BALANCE).GetPos(), 25);
    ASSERT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 75);

    ::SendMessageW(p.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_RESET, BN_CLICKED),
                   reinterpret_cast<LPARAM>(p.item(IDC_MAIN_RESET)));
    EXPECT_LEVELS(DefaultLevels(), 0.8f, 0.8f);
    EXPECT_LEVELS(CardLevels(p.cardId()), 0.6f, 0.6f);
    EXPECT_EQ(p.slider(IDC_MASTER_BALANCE).GetPos(), 50);
    EXPECT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 50);
    EXPECT_EQ(p.knob(IDC_MASTER_KNOB), 40);
    EXPECT_EQ(p.knob(IDC_DIGITAL_KNOB), 30);
}

TEST_F(MainPage, ResetLeavesAnEndpointWhoseLevelsCannotBeReadAlone)
{
    const Panel& p = panel();
    SetLevelsAndRefresh(p, {0.8f, 0.4f}, {0.3f, 0.6f});
    EndpointIds ids;
    GetDefaultEndpointId(ids);
    ASSERT_FALSE(ids.defaultId.empty());
    // The default endpoint opens but refuses every read of its levels.
    struct Unreadable {
        std::wstring id;
        ~Unreadable() { CasSetLevelsUnreadable(id.c_str(), 0); }
    } unreadable{ids.defaultId};
    ASSERT_EQ(CasSetLevelsUnreadable(ids.defaultId.c_str(), 1), S_OK);

    ::SendMessageW(p.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_RESET, BN_CLICKED),
                   reinterpret_cast<LPARAM>(p.item(IDC_MAIN_RESET)));
    EXPECT_LEVELS(CardLevels(p.cardId()), 0.6f, 0.6f); // the endpoint it can read is reset
    ASSERT_EQ(CasSetLevelsUnreadable(ids.defaultId.c_str(), 0), S_OK);
    EXPECT_LEVELS(DefaultLevels(), 0.8f, 0.4f); // neither silenced nor changed
}

TEST_F(MainPage, ArrowKeysOnABalanceSliderSetTheLevelsToo)
{
    const Panel& p = panel();
    SetLevelsAndRefresh(p, {0.8f, 0.8f}, {0.6f, 0.6f});
    ASSERT_EQ(p.slider(IDC_MASTER_BALANCE).GetPos(), 50);
    ::SendMessageW(p.item(IDC_MASTER_BALANCE), WM_KEYDOWN, VK_RIGHT, 0);
    PumpMessages(); // the slider's notice, posted to the page
    EXPECT_EQ(p.slider(IDC_MASTER_BALANCE).GetPos(), 51);
    EXPECT_LEVELS(DefaultLevels(), 0.784f, 0.8f);
    ::SendMessageW(p.item(IDC_DIGITAL_BALANCE), WM_KEYDOWN, VK_HOME, 0);
    PumpMessages();
    EXPECT_LEVELS(CardLevels(p.cardId()), 0.6f, 0.0f);
}

TEST_F(MainPage, TheWheelCannotTurnAKnobPastFullLevel)
{
    const Panel& p = panel();
    SetLevelsAndRefresh(p, {0.9f, 0.9f}, {0.9f, 0.9f});
    p.slider(IDC_MASTER_BALANCE).SetPos(50);
    ASSERT_EQ(p.knob(IDC_MASTER_KNOB), 45);

    for (int id : {IDC_MASTER_KNOB, IDC_DIGITAL_KNOB}) {
        SCOPED_TRACE(id);
        RECT rc{};
        ::GetWindowRect(p.item(id), &rc);
        const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        ::SendMessageW(p.item(id), WM_MOUSEWHEEL, MAKEWPARAM(0, 10 * WHEEL_DELTA), at);
        PumpMessages(); // the knob posts its notices to the page
        EXPECT_EQ(p.knob(id), 50);
    }
    EXPECT_LEVELS(DefaultLevels(), 1.0f, 1.0f);
    EXPECT_LEVELS(CardLevels(p.cardId()), 1.0f, 1.0f);
}

TEST_F(MainPage, MuteLampsToggleTheirEndpointWithoutMovingTheWindow)
{
    const Panel& p = panel();
    SetDefaultMute(FALSE);
    SetEndpointMute(p.cardId(), TRUE);
    p.refresh();
    ASSERT_FALSE(p.shows(IDC_MASTER_MUTE));
    ASSERT_TRUE(p.shows(IDC_DIGITAL_MUTE));

    EXPECT_FALSE(p.press(p.centreOf(IDC_MASTER_MUTE))) << "a press on a lamp must not start a window move";
    EXPECT_TRUE(DefaultMuted());
    EXPECT_TRUE(p.shows(IDC_MASTER_MUTE));
    EXPECT_TRUE(CardMuted(p.cardId())) << "the other lamp's endpoint is untouched";

    EXPECT_FALSE(p.press(p.centreOf(IDC_DIGITAL_MUTE)));
    EXPECT_FALSE(p.shows(IDC_DIGITAL_MUTE));
    EXPECT_FALSE(CardMuted(p.cardId()));
    EXPECT_TRUE(DefaultMuted());

    EXPECT_FALSE(p.press(p.centreOf(IDC_MASTER_MUTE)));
    EXPECT_FALSE(DefaultMuted());
    EXPECT_FALSE(p.shows(IDC_MASTER_MUTE));
}

TEST_F(MainPage, ALampShowingTheWrongStateComesRightWithOneClick)
{
    const Panel& p = panel();
    SetEndpointMute(p.cardId(), FALSE);
    SetDefaultMute(FALSE);
    p.refresh();
    ASSERT_FALSE(p.shows(IDC_DIGITAL_MUTE));
    ASSERT_FALSE(p.shows(IDC_MASTER_MUTE));
    // Both endpoints muted behind the lamps' backs (with the panel's own
    // context, so no refresh follows): each lamp now shows the wrong state.
    SetEndpointMute(p.cardId(), TRUE);
    SetDefaultMute(TRUE);
    ASSERT_TRUE(p.noticesArrived());
    ASSERT_FALSE(p.shows(IDC_DIGITAL_MUTE));
    ASSERT_FALSE(p.shows(IDC_MASTER_MUTE));

    // The click asks for what the endpoint already has; the lamp then shows
    // the state read back.
    EXPECT_FALSE(p.press(p.centreOf(IDC_DIGITAL_MUTE)));
    EXPECT_TRUE(CardMuted(p.cardId()));
    EXPECT_TRUE(p.shows(IDC_DIGITAL_MUTE));
    EXPECT_FALSE(p.press(p.centreOf(IDC_MASTER_MUTE)));
    EXPECT_TRUE(DefaultMuted());
    EXPECT_TRUE(p.shows(IDC_MASTER_MUTE));

    // And the next click unmutes, as the lamp promises.
    EXPECT_FALSE(p.press(p.centreOf(IDC_DIGITAL_MUTE)));
    EXPECT_FALSE(CardMuted(p.cardId()));
    EXPECT_FALSE(p.shows(IDC_DIGITAL_MUTE));
    SetDefaultMute(FALSE);
}

TEST_F(MainPage, AQuickSecondClickOnALampTogglesItBack)
{
    const Panel& p = panel();
    SetDefaultMute(FALSE);
    p.refresh();
    ASSERT_FALSE(p.shows(IDC_MASTER_MUTE));
    POINT at = p.centreOf(IDC_MASTER_MUTE);
    EXPECT_FALSE(p.press(at));
    EXPECT_TRUE(DefaultMuted());
    // The window system reports the second click of a quick pair as a double click.
    ::SendMessageW(p.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_FALSE(DefaultMuted());
    EXPECT_FALSE(p.shows(IDC_MASTER_MUTE));
}

TEST_F(MainPage, AnotherProgramsMuteLightsTheLamp)
{
    const Panel& p = panel();
    SetDefaultMute(FALSE);
    p.refresh();
    ASSERT_FALSE(p.shows(IDC_MASTER_MUTE));

    IMMDeviceEnumerator* enumerator = nullptr;
    ASSERT_EQ(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                 reinterpret_cast<void**>(&enumerator)),
              S_OK);
    IMMDevice* device = nullptr;
    ASSERT_EQ(enumerator->GetDefaultAudioEndpoint(eRender, eMultimedia, &device), S_OK);
    IAudioEndpointVolume* volume = nullptr;
    ASSERT_EQ(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&volume)),
              S_OK);
    EXPECT_EQ(volume->SetMute(TRUE, nullptr), S_OK);
    volume->Release();
    device->Release();
    enumerator->Release();

    EXPECT_TRUE(PumpUntil([&] { return p.picture(IDC_MASTER_MUTE).GetState(); }, 3s));
    EXPECT_TRUE(p.shows(IDC_MASTER_MUTE));
    SetDefaultMute(FALSE);
}

TEST_F(MainPage, TheOutputSwitchFlipsTheCardAndStartsAWindowMove)
{
    const Panel& p = panel();
    SimCard_Set("spkData", 1);
    p.refresh();
    ASSERT_TRUE(p.shows(IDC_OUTPUT_SWITCH)) << "headphones: lever up";
    SimCard_JournalClear();

    EXPECT_TRUE(p.press(p.centreOf(IDC_OUTPUT_SWITCH))) << "the switch also drags the window";
    EXPECT_FALSE(p.shows(IDC_OUTPUT_SWITCH)) << "speakers: lever down";
    EXPECT_TRUE(p.press(p.centreOf(IDC_OUTPUT_SWITCH)));
    EXPECT_TRUE(p.shows(IDC_OUTPUT_SWITCH));
    const std::vector<std::vector<int32_t>> expected{{kSpeakers}, {1}};
    EXPECT_EQ(SpeakerWrites(), expected);

    // Whatever the card reports other than 1 shows speakers.
    SimCard_Set("spkData", 7);
    p.refresh();
    EXPECT_FALSE(p.shows(IDC_OUTPUT_SWITCH));
}

TEST_F(MainPage, APressOnTheBackgroundMovesTheWindowAndTouchesNothing)
{
    const Panel& p = panel();
    SetDefaultMute(FALSE);
    p.refresh();
    SimCard_JournalClear();
    EXPECT_TRUE(p.press(POINT{330, 40}));
    EXPECT_TRUE(p.press(POINT{p.centreOf(IDC_MASTER_MUTE).x, 270})); // below the lamp
    EXPECT_TRUE(SpeakerWrites().empty());
    EXPECT_FALSE(DefaultMuted());
    EXPECT_FALSE(p.shows(IDC_MASTER_MUTE));
}

// ---------------------------------------------------------------------------
// The digital group while the card endpoint is not there: it shows silence,
// centred and unlit, takes no input, and comes alive when the start-up
// timer finds the endpoint.

class MainPageWithoutCardEndpoint : public ::testing::Test {
protected:
    void SetUp() override
    {
        CasLoadDefaultScenario();
        SimCard_Reset();
        std::wstring card = EndpointIdByName(kCardEndpointName);
        ASSERT_FALSE(card.empty());
        ASSERT_EQ(CasRemoveEndpoint(card.c_str()), S_OK);
    }
    void TearDown() override
    {
        CasLoadDefaultScenario();
        SimCard_Reset();
    }
    testsupport::RegistrySnapshot m_registry{L"Software\\Marvolin\\VANTIR"};
};

TEST_F(MainPageWithoutCardEndpoint, TheDigitalGroupWaitsForTheEndpoint)
{
    // Counted from here: other dialogs of this process may have registered.
    const int registeredBefore = RegisteredVolumeCallbacks();
    const uint64_t lists = CasEnumerationCount();
    Panel p(false);
    ASSERT_TRUE(p.created());
    // The start-up timer has looked for the card endpoint five times.
    ASSERT_TRUE(PumpUntil([&] { return CasEnumerationCount() >= lists + 5; }, 10s));
    ASSERT_TRUE(p.cardId().empty());
    EXPECT_EQ(RegisteredVolumeCallbacks(), registeredBefore) << "no listener before the card endpoint is found";

    EXPECT_EQ(p.knob(IDC_DIGITAL_KNOB), 0);
    EXPECT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 50);
    EXPECT_FALSE(p.shows(IDC_DIGITAL_MUTE));
    EXPECT_FALSE(::IsWindowEnabled(p.item(IDC_DIGITAL_KNOB)));
    EXPECT_FALSE(::IsWindowEnabled(p.item(IDC_DIGITAL_BALANCE)));
    // The Playback group works meanwhile.
    EXPECT_TRUE(::IsWindowEnabled(p.item(IDC_MASTER_KNOB)));
    p.slider(IDC_MASTER_BALANCE).SetPos(50);
    p.turnKnob(IDC_MASTER_KNOB, 35);
    EXPECT_LEVELS(DefaultLevels(), 0.7f, 0.7f);

    // The dead lamp neither lights nor moves the window; Reset leaves the
    // digital slider alone.
    EXPECT_FALSE(p.press(p.centreOf(IDC_DIGITAL_MUTE)));
    EXPECT_FALSE(p.shows(IDC_DIGITAL_MUTE));
    ::SendMessageW(p.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_RESET, BN_CLICKED), 0);
    EXPECT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 50);

    // The endpoint arrives: the next timer tick finds it, the group shows its
    // levels and mute, and the listeners are registered.
    wchar_t id[128] = {};
    ASSERT_EQ(CasAddEndpoint(kCardEndpointName, 0, id, 128), S_OK);
    SetEndpointChannelVolume(id, 0, 0.3f);
    SetEndpointChannelVolume(id, 1, 0.6f);
    SetEndpointMute(id, TRUE);
    ASSERT_TRUE(PumpUntil([&] { return !p.cardId().empty(); }, 5s));
    EXPECT_EQ(p.cardId(), std::wstring(id));
    EXPECT_TRUE(PumpUntil([&] { return RegisteredVolumeCallbacks() > registeredBefore; }, 3s));
    EXPECT_TRUE(::IsWindowEnabled(p.item(IDC_DIGITAL_KNOB)));
    EXPECT_TRUE(::IsWindowEnabled(p.item(IDC_DIGITAL_BALANCE)));
    EXPECT_EQ(p.knob(IDC_DIGITAL_KNOB), 30);
    EXPECT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 75);
    EXPECT_TRUE(p.shows(IDC_DIGITAL_MUTE));

    EXPECT_FALSE(p.press(p.centreOf(IDC_DIGITAL_MUTE)));
    EXPECT_FALSE(CardMuted(id));
    EXPECT_FALSE(p.shows(IDC_DIGITAL_MUTE));

    // The endpoint goes again: Reset still centres the slider, with no level
    // to keep and nothing to set.
    ASSERT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 75);
    ASSERT_EQ(CasRemoveEndpoint(id), S_OK);
    ::SendMessageW(p.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_RESET, BN_CLICKED), 0);
    EXPECT_EQ(p.slider(IDC_DIGITAL_BALANCE).GetPos(), 50);
}

// ---------------------------------------------------------------------------
// The machine changes under a running page: the default endpoint moves to the
// card's and back, the card's endpoint goes and comes again.

class MainPageOnAChangingMachine : public ::testing::Test {
protected:
    void SetUp() override
    {
        CasLoadDefaultScenario();
        SimCard_Reset();
    }
    void TearDown() override
    {
        CasLoadDefaultScenario();
        SimCard_Reset();
    }
    testsupport::RegistrySnapshot m_registry{L"Software\\Marvolin\\VANTIR"};
};

TEST_F(MainPageOnAChangingMachine, ThePageKeepsFollowingTheEndpointsThatRemain)
{
    Panel p(true);
    ASSERT_TRUE(p.created());
    ASSERT_TRUE(p.ready());
    const std::wstring card = p.cardId();
    const std::wstring speakers = EndpointIdByName(L"Speakers");
    auto masterShows = [&](int pos) { return PumpUntil([&] { return p.knob(IDC_MASTER_KNOB) == pos; }, 5s); };

    // The master group follows whatever is the default endpoint.
    ASSERT_EQ(CasSetDefaultEndpoint(card.c_str()), S_OK);
    SetLevelsAsAnotherProgram(card, {0.5f, 0.5f});
    EXPECT_TRUE(masterShows(25));
    ASSERT_EQ(CasSetDefaultEndpoint(speakers.c_str()), S_OK);
    SetLevelsAsAnotherProgram(speakers, {0.75f, 0.75f});
    EXPECT_TRUE(masterShows(37));
    EXPECT_TRUE(::IsWindowEnabled(p.item(IDC_DIGITAL_KNOB)));

    // The card's endpoint goes: the digital group goes quiet, the rest still
    // follows another program's changes.
    ASSERT_EQ(CasRemoveEndpoint(card.c_str()), S_OK);
    SetLevelsAsAnotherProgram(speakers, {0.25f, 0.25f});
    EXPECT_TRUE(masterShows(12));
    EXPECT_FALSE(::IsWindowEnabled(p.item(IDC_DIGITAL_KNOB)));
    EXPECT_FALSE(p.press(p.centreOf(IDC_DIGITAL_MUTE))) << "a press on the dead lamp moves nothing";

    // It comes again as a new endpoint; the page goes on working.
    wchar_t id[128] = {};
    ASSERT_EQ(CasAddEndpoint(kCardEndpointName, 0, id, 128), S_OK);
    SetLevelsAsAnotherProgram(speakers, {0.5f, 0.5f});
    EXPECT_TRUE(masterShows(25));
    p.turnKnob(IDC_MASTER_KNOB, 40);
    EXPECT_LEVELS(DefaultLevels(), 0.8f, 0.8f);
}

} // namespace
