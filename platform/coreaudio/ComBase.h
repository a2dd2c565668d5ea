#pragma once
// Shared pieces of the stand-in's COM objects: the module's count of live
// objects (for DllCanUnloadNow) and interlocked reference counting.
#include <windows.h>
#include <objbase.h>

#include <string>

namespace cas {

void ObjectCreated();
void ObjectDestroyed();
bool ModuleInUse();
void LockModule(bool lock);

// Base of every object: reference count from 1, counted in the module.
class ComObject {
protected:
    ComObject() { ObjectCreated(); }
    virtual ~ComObject() { ObjectDestroyed(); }
    ULONG AddRefImpl() { return static_cast<ULONG>(::InterlockedIncrement(&m_ref)); }
    ULONG ReleaseImpl()
    {
        LONG ref = ::InterlockedDecrement(&m_ref);
        if (ref == 0)
            delete this;
        return static_cast<ULONG>(ref);
    }

private:
    LONG m_ref = 1;
};

// A copy of `text` in task memory, as GetId and friends hand out.
HRESULT DupTaskString(const std::wstring& text, LPWSTR* out);

} // namespace cas

#define CAS_REFCOUNT                                                                                                   \
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }                                                 \
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
