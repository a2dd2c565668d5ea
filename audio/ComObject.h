#pragma once
// The reference counting every COM object of the panel shares: a count that
// starts at 1 (the creator's reference, handed over as a ComPtr), raised and
// lowered with interlocked operations because the platform calls from its own
// threads, and the object deleted when it reaches 0. QueryInterface answers
// IUnknown and the object's one interface, each time adding a reference.
#include <windows.h>
#include <unknwn.h>

template <typename Interface>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_ref)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        // The count is read into a local before the object may be gone.
        const LONG ref = ::InterlockedDecrement(&m_ref);
        if (ref == 0)
            delete this;
        return static_cast<ULONG>(ref);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(Interface)) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    LONG m_ref = 1;
};
