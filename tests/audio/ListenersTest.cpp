// The three listeners registered through the panel's real set-up code; the
// changes come from castool, another process, through the stand-in.
#include "AudioTestSupport.h"
#include "Endpoints.h"
#include "Listeners.h"
#include "LogWatch.h"
#include "PanelMessages.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <mmdeviceapi.h>

#include <thread>

using namespace audiotest;

namespace {

template <typename Listener, typename Itf>
void ExpectComIdentity(Listener* listener)
{
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(listener->QueryInterface(__uuidof(IUnknown), &out), S_OK);
    EXPECT_EQ(out, static_cast<Itf*>(listener));
    EXPECT_EQ(listener->Release(), 1u); // the query added one reference
    EXPECT_EQ(listener->QueryInterface(__uuidof(Itf), &out), S_OK);
    EXPECT_EQ(listener->Release(), 1u);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(listener->QueryInterface(__uuidof(IClassFactory), &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(listener->AddRef(), 2u);
    EXPECT_EQ(listener->Release(), 1u);
    EXPECT_EQ(listener->Release(), 0u); // gone
}

} // namespace

TEST(ListenerObjects, AnswerTheirOwnInterfaceOnlyAndCountReferences)
{
    // The creator's reference is counted by hand here.
    ExpectComIdentity<CAudioEndpointVolumeCallback, IAudioEndpointVolumeCallback>(CreateVolumeListener().detach());
    ExpectComIdentity<CControlChangeNotify, IControlChangeNotify>(CreateControlChangeListener().detach());
    ExpectComIdentity<CMMNotificationClient, IMMNotificationClient>(CreateEndpointNotificationClient().detach());
}

class ListenersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(CasLoadDefaultScenario());
        m_speakers = IdOf(kSpeakers);
        m_card = IdOf(kCardOutput);
        m_set.SetTarget(m_recorder.hwnd());
    }
    void TearDown() override
    {
        m_set.WithdrawAll();
        m_fence.Close();
        m_listeners.clear();
        CasLoadDefaultScenario();
    }

    // Keeps the creator's reference until the test ends.
    template <typename T>
    T* Keep(ComPtr<T> listener)
    {
        T* kept = listener.get();
        m_listeners.emplace_back(std::move(listener));
        return kept;
    }
    // Runs castool and expects it to succeed.
    void Tool(const std::wstring& arguments)
    {
        ToolResult r = RunTool(arguments);
        ASSERT_EQ(r.exitCode, 0u) << r.output;
    }
    std::vector<WPARAM> Posted(UINT msg) const
    {
        std::vector<WPARAM> out;
        for (const auto& e : m_recorder.entries()) {
            EXPECT_EQ(e.lp, 0);
            if (e.msg == msg)
                out.push_back(e.wp);
        }
        return out;
    }

    MtaScope m_com;
    CAudioListeners m_set;
    MessageRecorder m_recorder;
    NoticeFence m_fence{m_recorder};
    std::vector<ComPtr<IUnknown>> m_listeners;
    std::wstring m_speakers, m_card;
};

TEST_F(ListenersTest, VolumeChangesAreTheOwnPanelsOnlyWithItsContext)
{
    m_set.RegisterVolumeCallbacks(Keep(CreateVolumeListener()), kEventContextGuid);
    int32_t counts[3];
    CasGetRegistrations(::GetCurrentProcessId(), counts);
    EXPECT_EQ(counts[0], 3); // every active endpoint, capture included

    // The panel's own change (its operations pass the event-context GUID).
    ASSERT_TRUE(SetEndpointChannelVolume(m_card, 0, 0.3f));
    ASSERT_TRUE(m_recorder.WaitForCount(1));
    // Another program: no context, then its own, on a render and a capture endpoint.
    Tool(L"set-level " + Quote(kCardOutput) + L" 1 0.6");
    Tool(L"set-mute " + Quote(kMicrophone) + L" 1 --context {01234567-89AB-CDEF-0123-456789ABCDEF}");
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_EQ(Posted(WM_VOLUME_CHANGED), (std::vector<WPARAM>{10, 0, 0}));
    EXPECT_EQ(m_recorder.entries().size(), 3u);
}

TEST_F(ListenersTest, AnotherProcessUsingThePanelsContextCountsAsThePanel)
{
    m_set.RegisterVolumeCallbacks(Keep(CreateVolumeListener()), kEventContextGuid);
    Tool(L"set-level " + Quote(kSpeakers) + L" 0 0.1 --context " + kPanelContext);
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_EQ(Posted(WM_VOLUME_CHANGED), std::vector<WPARAM>{10});
}

TEST_F(ListenersTest, HardwareControlChangesBehindTheDefaultEndpoint)
{
    EndpointIds ids;
    GetDefaultEndpointId(ids);
    ASSERT_EQ(ids.defaultId, m_speakers);
    m_set.RegisterTopologyCallbacks(Keep(CreateControlChangeListener()), ids.defaultId, kEventContextGuid);
    int32_t counts[3];
    CasGetRegistrations(::GetCurrentProcessId(), counts);
    EXPECT_EQ(counts[1], 30 - 4 - 7); // one control on every subunit but the skipped ones

    Tool(L"hw-mute default 1 1");
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_EQ(Posted(WM_VOLUME_CHANGED), std::vector<WPARAM>{1});

    // The panel's own context, a subunit whose automatic gain took the
    // registration, and every skipped subunit: nothing.
    m_recorder.Clear();
    Tool(L"hw-mute default 2 1 --context " + std::wstring(kPanelContext));
    Tool(L"hw-mute default 3 1");
    for (int subunit : {15, 16, 17, 18, 21, 22, 23, 24, 25, 26, 27})
        Tool(L"hw-level default " + std::to_wstring(subunit) + L" -6");
    Tool(L"hw-agc default 17 1");
    Tool(L"hw-select default 22 2");
    // The same endpoint's other hardware is not behind the default: the card's.
    Tool(L"hw-mute " + Quote(kCardOutput) + L" 1 1");
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_TRUE(m_recorder.entries().empty());

    // Automatic gain (tried first) on 3, the input selector on 4, and the
    // last subunit after the skipped ranges.
    Tool(L"hw-agc default 3 1");
    Tool(L"hw-select default 4 2");
    Tool(L"hw-mute default 29 1");
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_EQ(Posted(WM_VOLUME_CHANGED), (std::vector<WPARAM>{1, 1, 1}));
}

TEST_F(ListenersTest, DefaultChangeIsToldOnlyForALowerCasePdifOrThrough)
{
    m_set.RegisterEndpointNotifications(Keep(CreateEndpointNotificationClient()));
    std::wstring lower, upper, through;
    {
        wchar_t id[80];
        ASSERT_HRESULT_SUCCEEDED(CasAddEndpoint(L"VANTIR pdif out", eRender, id, 80));
        lower = id;
        ASSERT_HRESULT_SUCCEEDED(CasAddEndpoint(L"VANTIR PDIF OUT", eRender, id, 80));
        upper = id;
        ASSERT_HRESULT_SUCCEEDED(CasAddEndpoint(L"Line through", eRender, id, 80));
        through = id;
    }
    ASSERT_TRUE(m_fence.Pass());
    // Adding tells only that a card's endpoint (by its name) is there again.
    EXPECT_EQ(Posted(WM_CARD_ENDPOINT_BACK).size(), 2u);
    EXPECT_TRUE(Posted(WM_ENDPOINT_CHANGED).empty());
    m_recorder.Clear();

    Tool(L"set-default " + lower);
    ASSERT_TRUE(m_fence.Pass());
    // Once per role notified.
    EXPECT_EQ(Posted(WM_ENDPOINT_CHANGED), (std::vector<WPARAM>{0, 0, 0}));

    m_recorder.Clear();
    Tool(L"set-default " + upper);
    Tool(L"set-default " + Quote(kCardOutput)); // "S/PDIF" in capitals too
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_TRUE(m_recorder.entries().empty());

    Tool(L"set-default " + through);
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_EQ(Posted(WM_ENDPOINT_CHANGED), (std::vector<WPARAM>{0, 0, 0}));
}

TEST_F(ListenersTest, OnlyTheCardEndpointBecomingActiveAgainIsToldOfTheEndpointsComingAndGoing)
{
    m_set.RegisterEndpointNotifications(Keep(CreateEndpointNotificationClient()));
    m_set.RegisterVolumeCallbacks(Keep(CreateVolumeListener()), kEventContextGuid);
    // The card's endpoint disabled and enabled again (a driver restart).
    Tool(L"set-state " + m_card + L" disabled");
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_TRUE(m_recorder.entries().empty());
    Tool(L"set-state " + m_card + L" active");
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_EQ(Posted(WM_CARD_ENDPOINT_BACK), std::vector<WPARAM>{0});
    m_recorder.Clear();

    // Another card-like endpoint plugged in is told too; what happens to it
    // afterwards is not.
    ToolResult added = RunTool(L"add \"VANTIR pdif extra\" render");
    ASSERT_EQ(added.exitCode, 0u);
    std::wstring id(added.output.begin(), added.output.end());
    id.erase(id.find_last_not_of(L"\r\n") + 1);
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_EQ(Posted(WM_CARD_ENDPOINT_BACK), std::vector<WPARAM>{0});
    m_recorder.Clear();
    Tool(L"set-state " + id + L" disabled");
    Tool(L"rename " + id + L" \"VANTIR through\"");
    Tool(L"remove " + id);
    // Other endpoints coming and going are no news.
    Tool(L"add \"USB Headset\" render");
    Tool(L"remove \"USB Headset\"");
    // Removing the default makes another endpoint the default: told, but
    // "Speakers" has neither word.
    Tool(L"set-default " + m_card);
    Tool(L"remove " + Quote(kCardOutput));
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_TRUE(m_recorder.entries().empty());
}

TEST_F(ListenersTest, AListenerThatCannotBeRegisteredIsLogged)
{
    const testsupport::LogWatch log;
    // A default endpoint without a hardware topology behind it.
    m_set.RegisterTopologyCallbacks(Keep(CreateControlChangeListener()), L"{no such endpoint}", kEventContextGuid);
    EXPECT_EQ(log.Count("Hardware-control listener not registered: no hardware topology"), 1u);
    // No audio service to register with.
    ASSERT_HRESULT_SUCCEEDED(CasSetFaults(CAS_FAULT_NO_SERVER));
    m_set.RegisterVolumeCallbacks(Keep(CreateVolumeListener()), kEventContextGuid);
    m_set.RegisterEndpointNotifications(Keep(CreateEndpointNotificationClient()));
    ASSERT_HRESULT_SUCCEEDED(CasSetFaults(0));
    EXPECT_EQ(log.Count("Volume listener not registered: the active endpoints could not be listed"), 1u);
    EXPECT_EQ(log.Count("Endpoint listener not registered"), 1u);
    EXPECT_EQ(m_set.Count(), 0u);
    // Registered as usual: nothing to tell.
    m_set.RegisterVolumeCallbacks(Keep(CreateVolumeListener()), kEventContextGuid);
    EXPECT_EQ(log.NewLines().size(), 3u);
}

TEST_F(ListenersTest, DescribeDeviceLeavesOnlyTheApartmentItJoined)
{
    CMMNotificationClient* client = Keep(CreateEndpointNotificationClient());
    std::string onMta, onBare;
    HRESULT mtaAfter = E_FAIL, bareAfter = E_FAIL;
    std::thread([&] {
        // A platform notification thread: already in the multithreaded apartment.
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        onMta = client->DescribeDevice(m_card.c_str());
        mtaAfter = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED); // S_FALSE: still initialised
        if (SUCCEEDED(mtaAfter))
            ::CoUninitialize();
        ::CoUninitialize();
    }).join();
    std::thread([&] {
        onBare = client->DescribeDevice(m_speakers.c_str());
        // The single-threaded apartment it joined was left again.
        bareAfter = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(bareAfter))
            ::CoUninitialize();
    }).join();
    EXPECT_EQ(mtaAfter, S_FALSE);
    EXPECT_EQ(bareAfter, S_OK);
    EXPECT_EQ(onMta, "----------------------\nDevice name: VANTIR Digital Output (S/PDIF)");
    EXPECT_EQ(onBare, "----------------------\nDevice name: Speakers");
    EXPECT_EQ(client->DescribeDevice(L"{no such endpoint}"), "----------------------\nDevice name: ");
    EXPECT_EQ(client->DescribeDevice(nullptr), "----------------------\nDevice name: ");
}

TEST_F(ListenersTest, AProcessThatEndedWithoutUnregisteringBreaksNoOne)
{
    m_set.RegisterVolumeCallbacks(Keep(CreateVolumeListener()), kEventContextGuid);

    // Another program registers on every endpoint and is killed.
    std::wstring command = Quote(testsupport::ProgramFolder() + L"\\castool.exe") + L" listen 60";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                                 &si, &pi));
    // It registers on the endpoints one by one, then for endpoint notices.
    int32_t counts[3] = {};
    for (int i = 0; i < 100 && (counts[0] < 3 || counts[2] < 1); ++i) {
        ::Sleep(50);
        CasGetRegistrations(pi.dwProcessId, counts);
    }
    EXPECT_EQ(counts[0], 3);
    EXPECT_EQ(counts[2], 1);
    ::TerminateProcess(pi.hProcess, 1);
    ::WaitForSingleObject(pi.hProcess, 5000);

    Tool(L"set-level " + Quote(kSpeakers) + L" 0 0.2");
    ASSERT_TRUE(m_recorder.WaitForCount(1));
    CasGetRegistrations(pi.dwProcessId, counts);
    EXPECT_EQ(counts[0] + counts[1] + counts[2], 0);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
}

TEST_F(ListenersTest, TheOwnerWithdrawsEveryRegistrationAndReleasesTheListenersAtItsEnd)
{
    EndpointIds ids;
    GetDefaultEndpointId(ids);
    // The creator's references are counted by hand here.
    CAudioEndpointVolumeCallback* volume = CreateVolumeListener().detach();
    CControlChangeNotify* control = CreateControlChangeListener().detach();
    CMMNotificationClient* client = CreateEndpointNotificationClient().detach();
    {
        CAudioListeners owner;
        owner.RegisterVolumeCallbacks(volume, kEventContextGuid);
        owner.RegisterTopologyCallbacks(control, ids.defaultId, kEventContextGuid);
        owner.RegisterEndpointNotifications(client);
        EXPECT_EQ(owner.Count(), 3u + 19u + 1u);
        CasProcessReport report{};
        ASSERT_EQ(CasGetProcessReport(::GetCurrentProcessId(), &report), S_OK);
        EXPECT_EQ(report.inForce[0] + report.inForce[1] + report.inForce[2], 23);
    }
    // Gone with the owner: every registration, withdrawn (not just dropped
    // with its carrier), and the owner's references to the listeners.
    CasProcessReport report{};
    ASSERT_EQ(CasGetProcessReport(::GetCurrentProcessId(), &report), S_OK);
    EXPECT_EQ(report.inForce[0] + report.inForce[1] + report.inForce[2], 0);
    EXPECT_EQ(report.withdrawn[0], report.registered[0]);
    EXPECT_EQ(report.withdrawn[1], report.registered[1]);
    EXPECT_EQ(report.withdrawn[2], report.registered[2]);
    // The platform dropped its references when the registrations were
    // withdrawn (no notice is in flight here): only the creator's is left.
    for (IUnknown* listener : {static_cast<IUnknown*>(volume), static_cast<IUnknown*>(control),
                               static_cast<IUnknown*>(client)}) {
        listener->AddRef();
        EXPECT_EQ(listener->Release(), 1u);
        EXPECT_EQ(listener->Release(), 0u);
    }
}

TEST_F(ListenersTest, ADefaultEndpointWhoseNameCannotBeReadIsToldAsNoCardAndTheRestGoOn)
{
    m_set.RegisterEndpointNotifications(Keep(CreateEndpointNotificationClient()));
    m_set.RegisterVolumeCallbacks(Keep(CreateVolumeListener()), kEventContextGuid);
    wchar_t id[80];
    ASSERT_HRESULT_SUCCEEDED(CasAddEndpoint(L"VANTIR pdif damaged", eRender, id, 80));
    ASSERT_HRESULT_SUCCEEDED(CasSetNameUnreadable(id, 1));
    Tool(L"set-default " + std::wstring(id));
    // A later change on an endpoint that remains is still told.
    Tool(L"set-level " + Quote(kSpeakers) + L" 0 0.3");
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_TRUE(Posted(WM_ENDPOINT_CHANGED).empty()) << "an unreadable name has no 'pdif' to find";
    EXPECT_EQ(Posted(WM_VOLUME_CHANGED), std::vector<WPARAM>{0});
}

TEST_F(ListenersTest, AfterTheCardEndpointGoesTheOthersAreStillTold)
{
    m_set.RegisterVolumeCallbacks(Keep(CreateVolumeListener()), kEventContextGuid);
    m_set.RegisterEndpointNotifications(Keep(CreateEndpointNotificationClient()));
    Tool(L"remove " + Quote(kCardOutput));
    Tool(L"set-level " + Quote(kSpeakers) + L" 1 0.4");
    ASSERT_TRUE(m_recorder.WaitForCount(1));
    // The card endpoint comes back (a new endpoint, as after plugging it in
    // again) and is made the default and then not: still no fault.
    Tool(L"add " + Quote(kCardOutput) + L" render");
    Tool(L"set-default " + Quote(kCardOutput));
    Tool(L"set-default " + Quote(kSpeakers));
    Tool(L"set-mute " + Quote(kMicrophone) + L" 1");
    ASSERT_TRUE(m_fence.Pass());
    std::vector<WPARAM> volume = Posted(WM_VOLUME_CHANGED);
    EXPECT_EQ(volume, (std::vector<WPARAM>{0, 0})) << "speakers and microphone, both other programs'";
}
