// IAudioEndpointVolume of one endpoint: two channels, levels kept in the
// shared state, notices to every process's registered callbacks. The
// registrations live as long as this object.
#include "ComBase.h"
#include "Dispatcher.h"
#include "Objects.h"
#include "StandInModel.h"

#include <endpointvolume.h>

#include <algorithm>
#include <cmath>

namespace cas {

namespace {

float ScalarToDb(float scalar)
{
    if (scalar <= 0.0f)
        return kMinDb;
    return std::clamp(20.0f * std::log10(scalar), kMinDb, kMaxDb);
}

float DbToScalar(float db)
{
    if (db <= kMinDb)
        return 0.0f;
    return std::clamp(std::pow(10.0f, db / 20.0f), 0.0f, 1.0f);
}

constexpr UINT kStepCount = 101;

class CEndpointVolume final : public IAudioEndpointVolume, private ComObject {
public:
    explicit CEndpointVolume(std::wstring id) : m_id(std::move(id)) {}
    ~CEndpointVolume() override { Dispatcher::Instance().RemoveOwner(this); }
    CAS_REFCOUNT

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IAudioEndpointVolume)) {
            *out = static_cast<IAudioEndpointVolume*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback* cb) override
    {
        return Dispatcher::Instance().AddVolumeSink(this, m_id, cb);
    }
    HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback* cb) override
    {
        if (!cb)
            return E_POINTER;
        return Dispatcher::Instance().RemoveVolumeSink(this, cb);
    }

    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = kChannels;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(FLOAT db, LPCGUID context) override
    {
        if (std::isnan(db) || db < kMinDb || db > kMaxDb)
            return E_INVALIDARG;
        return SetMasterLevel(m_id, DbToScalar(db), context);
    }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(FLOAT level, LPCGUID context) override
    {
        return SetMasterLevel(m_id, level, context);
    }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(FLOAT* db) override
    {
        float level = 0;
        HRESULT hr = GetMasterVolumeLevelScalar(&level);
        if (SUCCEEDED(hr))
            *db = ScalarToDb(level);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(FLOAT* level) override
    {
        if (!level)
            return E_POINTER;
        EndpointState e;
        if (!ReadEndpoint(m_id, &e))
            return AUDCLNT_E_DEVICE_INVALIDATED_;
        if (e.levelsUnreadable)
            return E_FAIL;
        *level = std::max(e.level[0], e.level[1]);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT channel, FLOAT db, LPCGUID context) override
    {
        if (std::isnan(db) || db < kMinDb || db > kMaxDb)
            return E_INVALIDARG;
        return SetChannelLevel(m_id, channel, DbToScalar(db), context);
    }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT channel, FLOAT level, LPCGUID context) override
    {
        return SetChannelLevel(m_id, channel, level, context);
    }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT channel, FLOAT* db) override
    {
        float level = 0;
        HRESULT hr = GetChannelVolumeLevelScalar(channel, &level);
        if (SUCCEEDED(hr))
            *db = ScalarToDb(level);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT channel, FLOAT* level) override
    {
        if (!level)
            return E_POINTER;
        if (channel >= static_cast<UINT>(kChannels))
            return E_INVALIDARG;
        EndpointState e;
        if (!ReadEndpoint(m_id, &e))
            return AUDCLNT_E_DEVICE_INVALIDATED_;
        if (e.levelsUnreadable)
            return E_FAIL;
        *level = e.level[channel];
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetMute(WINBOOL mute, LPCGUID context) override
    {
        return SetEndpointMute(m_id, mute, context);
    }
    HRESULT STDMETHODCALLTYPE GetMute(WINBOOL* mute) override
    {
        if (!mute)
            return E_POINTER;
        EndpointState e;
        if (!ReadEndpoint(m_id, &e))
            return AUDCLNT_E_DEVICE_INVALIDATED_;
        *mute = e.mute ? TRUE : FALSE;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT* step, UINT* count) override
    {
        if (!step || !count)
            return E_POINTER;
        float level = 0;
        HRESULT hr = GetMasterVolumeLevelScalar(&level);
        if (FAILED(hr))
            return hr;
        *step = static_cast<UINT>(std::lround(level * (kStepCount - 1)));
        *count = kStepCount;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID context) override { return Step(+1, context); }
    HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID context) override { return Step(-1, context); }

    HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD* mask) override
    {
        if (!mask)
            return E_POINTER;
        *mask = 0; // everything is done in software here
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetVolumeRange(FLOAT* minDb, FLOAT* maxDb, FLOAT* incrementDb) override
    {
        if (!minDb || !maxDb || !incrementDb)
            return E_POINTER;
        *minDb = kMinDb;
        *maxDb = kMaxDb;
        *incrementDb = kStepDb;
        return S_OK;
    }

private:
    static constexpr HRESULT AUDCLNT_E_DEVICE_INVALIDATED_ = static_cast<HRESULT>(0x88890004);

    HRESULT Step(int direction, LPCGUID context)
    {
        UINT step = 0, count = 0;
        HRESULT hr = GetVolumeStepInfo(&step, &count);
        if (FAILED(hr))
            return hr;
        int next = std::clamp(static_cast<int>(step) + direction, 0, static_cast<int>(count) - 1);
        return SetMasterLevel(m_id, static_cast<float>(next) / static_cast<float>(count - 1), context);
    }

    std::wstring m_id;
};

} // namespace

HRESULT CreateEndpointVolume(const std::wstring& id, REFIID riid, void** out)
{
    auto* v = new (std::nothrow) CEndpointVolume(id);
    if (!v)
        return E_OUTOFMEMORY;
    HRESULT hr = v->QueryInterface(riid, out);
    v->Release();
    return hr;
}

} // namespace cas
