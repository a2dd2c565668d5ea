// The control interfaces of a hardware subunit: mute, volume level,
// automatic gain and input selector. Their values live in the shared state.
#include "AutoGainControl.h"
#include "ComBase.h"
#include "Objects.h"
#include "StandInModel.h"

#include <cmath>

namespace cas {

namespace {

// What every control shares: its subunit and the current state.
class ControlBase : protected ComObject {
public:
    ControlBase(std::wstring id, int subunit) : m_id(std::move(id)), m_subunit(subunit) {}
    bool Read(SubunitState* out) const
    {
        EndpointState e;
        if (!ReadEndpoint(m_id, &e))
            return false;
        *out = e.subunits[m_subunit];
        return true;
    }

protected:
    std::wstring m_id;
    int m_subunit;
};

template <typename Itf>
HRESULT QueryOne(Itf* self, REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(Itf)) {
        *out = self;
        self->AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

class CMuteControl final : public IAudioMute, private ControlBase {
public:
    using ControlBase::ControlBase;
    CAS_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override { return QueryOne<IAudioMute>(this, riid, out); }
    HRESULT STDMETHODCALLTYPE SetMute(WINBOOL mute, LPCGUID context) override
    {
        return SetSubunitFlag(m_id, m_subunit, kControlMute, mute ? 1 : 0, context);
    }
    HRESULT STDMETHODCALLTYPE GetMute(WINBOOL* mute) override
    {
        if (!mute)
            return E_POINTER;
        SubunitState s;
        if (!Read(&s))
            return E_NOTFOUND;
        *mute = s.mute ? TRUE : FALSE;
        return S_OK;
    }
};

class CVolumeLevelControl final : public IAudioVolumeLevel, private ControlBase {
public:
    using ControlBase::ControlBase;
    CAS_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (out && riid == __uuidof(IPerChannelDbLevel)) {
            *out = static_cast<IPerChannelDbLevel*>(this);
            AddRef();
            return S_OK;
        }
        return QueryOne<IAudioVolumeLevel>(this, riid, out);
    }
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = kChannels;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetLevelRange(UINT channel, float* minDb, float* maxDb, float* step) override
    {
        if (!minDb || !maxDb || !step)
            return E_POINTER;
        if (channel >= static_cast<UINT>(kChannels))
            return E_INVALIDARG;
        *minDb = kMinDb;
        *maxDb = kMaxDb;
        *step = kStepDb;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetLevel(UINT channel, float* db) override
    {
        if (!db)
            return E_POINTER;
        if (channel >= static_cast<UINT>(kChannels))
            return E_INVALIDARG;
        SubunitState s;
        if (!Read(&s))
            return E_NOTFOUND;
        *db = s.levelDb[channel];
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetLevel(UINT channel, float db, LPCGUID context) override
    {
        if (channel >= static_cast<UINT>(kChannels))
            return E_INVALIDARG;
        return SetSubunitLevel(m_id, m_subunit, static_cast<int>(channel), db, context);
    }
    HRESULT STDMETHODCALLTYPE SetLevelUniform(float db, LPCGUID context) override
    {
        return SetSubunitLevel(m_id, m_subunit, -1, db, context);
    }
    HRESULT STDMETHODCALLTYPE SetLevelAllChannels(float* levels, ULONG count, LPCGUID context) override
    {
        if (!levels)
            return E_POINTER;
        if (count != static_cast<ULONG>(kChannels) || levels[0] != levels[1])
            return count != static_cast<ULONG>(kChannels) ? E_INVALIDARG
                                                          : SetLevelsOneByOne(levels, context);
        return SetSubunitLevel(m_id, m_subunit, -1, levels[0], context);
    }

private:
    HRESULT SetLevelsOneByOne(const float* levels, LPCGUID context)
    {
        for (int c = 0; c < kChannels; ++c) {
            HRESULT hr = SetSubunitLevel(m_id, m_subunit, c, levels[c], context);
            if (FAILED(hr))
                return hr;
        }
        return S_OK;
    }
};

class CAutoGainControl final : public IAutoGainControl, private ControlBase {
public:
    using ControlBase::ControlBase;
    CAS_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IAudioAutoGainControl)) {
            *out = static_cast<IAutoGainControl*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* enabled) override
    {
        if (!enabled)
            return E_POINTER;
        SubunitState s;
        if (!Read(&s))
            return E_NOTFOUND;
        *enabled = s.autoGain ? TRUE : FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetEnabled(BOOL enable, LPCGUID context) override
    {
        return SetSubunitFlag(m_id, m_subunit, kControlAutoGain, enable ? 1 : 0, context);
    }
};

class CInputSelectorControl final : public IAudioInputSelector, private ControlBase {
public:
    using ControlBase::ControlBase;
    CAS_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        return QueryOne<IAudioInputSelector>(this, riid, out);
    }
    HRESULT STDMETHODCALLTYPE GetSelection(UINT* selected) override
    {
        if (!selected)
            return E_POINTER;
        SubunitState s;
        if (!Read(&s))
            return E_NOTFOUND;
        *selected = s.selection;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSelection(UINT selected, LPCGUID context) override
    {
        return SetSubunitFlag(m_id, m_subunit, kControlInputSelector, selected, context);
    }
};

} // namespace

bool ControlKindOf(REFIID riid, ControlKind* kind)
{
    if (riid == __uuidof(IAudioAutoGainControl))
        *kind = kControlAutoGain;
    else if (riid == __uuidof(IAudioInputSelector))
        *kind = kControlInputSelector;
    else if (riid == __uuidof(IAudioMute))
        *kind = kControlMute;
    else if (riid == __uuidof(IAudioVolumeLevel))
        *kind = kControlVolume;
    else
        return false;
    return true;
}

HRESULT CreatePartControl(const std::wstring& id, int subunit, ControlKind kind, void** out)
{
    IUnknown* control = nullptr;
    switch (kind) {
    case kControlMute:
        control = static_cast<IAudioMute*>(new (std::nothrow) CMuteControl(id, subunit));
        break;
    case kControlVolume:
        control = static_cast<IAudioVolumeLevel*>(new (std::nothrow) CVolumeLevelControl(id, subunit));
        break;
    case kControlAutoGain:
        control = static_cast<IAutoGainControl*>(new (std::nothrow) CAutoGainControl(id, subunit));
        break;
    case kControlInputSelector:
        control = static_cast<IAudioInputSelector*>(new (std::nothrow) CInputSelectorControl(id, subunit));
        break;
    default:
        return E_INVALIDARG;
    }
    if (!control)
        return E_OUTOFMEMORY;
    *out = control;
    return S_OK;
}

} // namespace cas
