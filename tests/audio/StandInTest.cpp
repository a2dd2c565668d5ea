// The Core Audio stand-in keeps Windows' documented semantics: these are what
// the panel's tests rely on when they treat it as the platform.
#include "AudioTestSupport.h"
#include "ComPtr.h"

#include <endpointvolume.h>
#include <gtest/gtest.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <mutex>
#include <vector>

using namespace audiotest;

namespace {

// Keeps a copy of every volume notice it gets.
class NoticeCollector final : public IAudioEndpointVolumeCallback {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&m_ref); }
    ULONG STDMETHODCALLTYPE Release() override { return ::InterlockedDecrement(&m_ref); } // lives on the stack
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { return *out = nullptr, E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA d) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_notices.push_back({d->guidEventContext, d->bMuted, d->fMasterVolume, d->nChannels,
                             {d->afChannelVolumes[0], d->nChannels > 1 ? (&d->afChannelVolumes[0])[1] : -1.0f}});
        return S_OK;
    }
    struct Notice {
        GUID context;
        BOOL muted;
        float master;
        UINT channels;
        float levels[2];
    };
    std::vector<Notice> Take()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_notices;
    }
    LONG refs() const { return m_ref; }

private:
    LONG m_ref = 1;
    std::mutex m_lock;
    std::vector<Notice> m_notices;
};

class StandInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(CasLoadDefaultScenario());
        ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                                    __uuidof(IMMDeviceEnumerator), m_enumerator.putVoid()));
    }
    void TearDown() override { CasLoadDefaultScenario(); }

    ComPtr<IAudioEndpointVolume> Volume(const std::wstring& name)
    {
        ComPtr<IMMDevice> device;
        ComPtr<IAudioEndpointVolume> volume;
        EXPECT_EQ(m_enumerator->GetDevice(IdOf(name).c_str(), device.put()), S_OK);
        if (device) {
            EXPECT_EQ(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, volume.putVoid()), S_OK);
        }
        return volume;
    }

    MtaScope m_com;
    ComPtr<IMMDeviceEnumerator> m_enumerator;
};

} // namespace

TEST_F(StandInTest, EnumeratorFlowsStatesAndDefaults)
{
    ComPtr<IMMDeviceCollection> all, render;
    UINT count = 0;
    ASSERT_EQ(m_enumerator->EnumAudioEndpoints(eAll, DEVICE_STATE_ACTIVE, all.put()), S_OK);
    all->GetCount(&count);
    EXPECT_EQ(count, 3u);
    ASSERT_EQ(m_enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, render.put()), S_OK);
    render->GetCount(&count);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(m_enumerator->EnumAudioEndpoints(eRender, 0, render.put()), E_INVALIDARG);

    ComPtr<IMMDevice> device;
    EXPECT_EQ(m_enumerator->GetDevice(L"{0.0.0.00000000}.{unknown}", device.put()), E_NOTFOUND);
    ASSERT_EQ(m_enumerator->GetDefaultAudioEndpoint(eCapture, eCommunications, device.put()), S_OK);
    LPWSTR id = nullptr;
    ASSERT_EQ(device->GetId(&id), S_OK);
    EXPECT_EQ(std::wstring(id), IdOf(kMicrophone));
    ::CoTaskMemFree(id);

    // Removing the default: the first active endpoint of the flow takes over.
    ASSERT_HRESULT_SUCCEEDED(CasSetDefaultEndpoint(IdOf(kCardOutput).c_str()));
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(IdOf(kCardOutput).c_str()));
    ASSERT_EQ(m_enumerator->GetDefaultAudioEndpoint(eRender, eMultimedia, device.put()), S_OK);
    ASSERT_EQ(device->GetId(&id), S_OK);
    EXPECT_EQ(std::wstring(id), IdOf(kSpeakers));
    ::CoTaskMemFree(id);
}

TEST_F(StandInTest, EndpointVolumeRefusesBadArgumentsAndReportsUnchangedMute)
{
    ComPtr<IAudioEndpointVolume> volume = Volume(kSpeakers);
    ASSERT_TRUE(volume);
    EXPECT_EQ(volume->SetChannelVolumeLevelScalar(2, 0.5f, nullptr), E_INVALIDARG);
    EXPECT_EQ(volume->SetChannelVolumeLevelScalar(0, 1.01f, nullptr), E_INVALIDARG);
    EXPECT_EQ(volume->SetMasterVolumeLevelScalar(-0.01f, nullptr), E_INVALIDARG);
    EXPECT_EQ(volume->SetMute(FALSE, nullptr), S_FALSE);
    EXPECT_EQ(volume->SetMute(TRUE, nullptr), S_OK);
    UINT channels = 0;
    EXPECT_EQ(volume->GetChannelCount(&channels), S_OK);
    EXPECT_EQ(channels, 2u);
}

TEST_F(StandInTest, NoticesCarryTheFullDataAndEndWithTheirCarrier)
{
    NoticeCollector collector;
    {
        ComPtr<IAudioEndpointVolume> volume = Volume(kSpeakers);
        ASSERT_EQ(volume->RegisterControlChangeNotify(&collector), S_OK);
        EXPECT_EQ(collector.refs(), 2); // held while registered

        ASSERT_EQ(RunTool(L"set-level Speakers 1 0.5").exitCode, 0u);
        ASSERT_EQ(RunTool(L"set-mute Speakers 1 --context " + std::wstring(kPanelContext)).exitCode, 0u);
        for (int i = 0; i < 200 && collector.Take().size() < 2; ++i)
            ::Sleep(10);
        auto notices = collector.Take();
        ASSERT_EQ(notices.size(), 2u);
        EXPECT_EQ(notices[0].context, GUID_NULL);
        EXPECT_FALSE(notices[0].muted);
        EXPECT_EQ(notices[0].channels, 2u);
        EXPECT_FLOAT_EQ(notices[0].levels[0], 0.75f);
        EXPECT_FLOAT_EQ(notices[0].levels[1], 0.5f);
        EXPECT_FLOAT_EQ(notices[0].master, 0.75f);
        GUID panel{};
        ::CLSIDFromString(kPanelContext, &panel);
        EXPECT_EQ(notices[1].context, panel);
        EXPECT_TRUE(notices[1].muted);
    }
    // The volume object is gone, and its registration with it.
    EXPECT_EQ(collector.refs(), 1);
    int32_t counts[3];
    CasGetRegistrations(::GetCurrentProcessId(), counts);
    EXPECT_EQ(counts[0], 0);
    // A collector still registered on the same endpoint is told the next
    // change; the same notice would have reached the first one with it.
    NoticeCollector witness;
    ComPtr<IAudioEndpointVolume> volume = Volume(kSpeakers);
    ASSERT_EQ(volume->RegisterControlChangeNotify(&witness), S_OK);
    ASSERT_EQ(RunTool(L"set-level Speakers 0 0.5").exitCode, 0u);
    for (int i = 0; i < 500 && witness.Take().empty(); ++i)
        ::Sleep(10);
    ASSERT_EQ(witness.Take().size(), 1u);
    EXPECT_EQ(collector.Take().size(), 2u);
    volume->UnregisterControlChangeNotify(&witness);
}
