// Two owners of listeners side by side in one process: each owner's
// listeners tell its own window only, and a withdrawn or untargeted owner
// tells nothing. The stand-in delivers each change to its registrations in
// the order they were made, on one thread, and every window here is served
// by this thread's queue: a later message to the second window therefore
// proves that whatever the first change meant for the first window has
// arrived.
#include "AudioTestSupport.h"
#include "Endpoints.h"
#include "Listeners.h"
#include "PanelMessages.h"

#include <gtest/gtest.h>

using namespace audiotest;

namespace {

void RegisterVolume(CAudioListeners& owner)
{
    const ComPtr<CAudioEndpointVolumeCallback> listener = CreateVolumeListener();
    ASSERT_TRUE(listener);
    owner.RegisterVolumeCallbacks(listener.get(), kEventContextGuid); // the owner holds it from now on
}

void ChangeSpeakers(const wchar_t* level)
{
    ToolResult r = RunTool(L"set-level " + Quote(kSpeakers) + L" 0 " + level);
    ASSERT_EQ(r.exitCode, 0u) << r.output;
}

TEST(ListenerOwners, EachOwnersListenersTellItsOwnWindowOnly)
{
    MtaScope com;
    ASSERT_HRESULT_SUCCEEDED(CasLoadDefaultScenario());
    MessageRecorder first, second;
    CAudioListeners firstOwner, secondOwner;
    firstOwner.SetTarget(first.hwnd());
    secondOwner.SetTarget(second.hwnd());
    EXPECT_EQ(firstOwner.GetTarget(), first.hwnd());
    RegisterVolume(firstOwner);
    RegisterVolume(secondOwner);

    ChangeSpeakers(L"0.2");
    ASSERT_TRUE(first.WaitForCount(1));
    ASSERT_TRUE(second.WaitForCount(1));

    // Without a target the first owner's listeners stay registered but post
    // nothing; the second window's next message is the fence.
    firstOwner.SetTarget(nullptr);
    ChangeSpeakers(L"0.3");
    ASSERT_TRUE(second.WaitForCount(2));
    EXPECT_EQ(first.entries().size(), 1u);
    EXPECT_EQ(firstOwner.Count(), 3u);

    // Targeted again, then withdrawn: nothing more reaches the first window.
    firstOwner.SetTarget(first.hwnd());
    ChangeSpeakers(L"0.4");
    ASSERT_TRUE(first.WaitForCount(2));
    ASSERT_TRUE(second.WaitForCount(3));
    firstOwner.WithdrawAll();
    EXPECT_EQ(firstOwner.GetTarget(), first.hwnd()) << "kept for later registrations";
    ChangeSpeakers(L"0.5");
    ASSERT_TRUE(second.WaitForCount(4));
    EXPECT_EQ(first.entries().size(), 2u);
    EXPECT_EQ(second.entries().size(), 4u);
    for (const auto* recorder : {&first, &second}) {
        for (const MessageRecorder::Entry& e : recorder->entries()) {
            EXPECT_EQ(e.msg, static_cast<UINT>(WM_VOLUME_CHANGED));
            EXPECT_EQ(e.wp, 0u) << "another program's change";
        }
    }

    // A registration after the withdrawal posts to the kept target again.
    RegisterVolume(firstOwner);
    ChangeSpeakers(L"0.6");
    ASSERT_TRUE(second.WaitForCount(5));
    EXPECT_TRUE(first.WaitForCount(3));
    secondOwner.WithdrawAll();
    firstOwner.WithdrawAll();
    CasLoadDefaultScenario();
}

} // namespace
