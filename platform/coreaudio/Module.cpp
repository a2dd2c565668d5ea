// The in-process server: the class object of CLSID_MMDeviceEnumerator and the
// module's lifetime.
#include "ComBase.h"
#include "Dispatcher.h"
#include "Objects.h"

#include <atomic>
#include <cstring>

namespace cas {

namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

class CClassFactory final : public IClassFactory {
public:
    // The class object is static: its reference count does not matter.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return CreateDeviceEnumerator(riid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(WINBOOL lock) override
    {
        LockModule(lock != FALSE);
        return S_OK;
    }
};

CClassFactory g_factory;
} // namespace

void ObjectCreated() { ++g_objects; }
void ObjectDestroyed() { --g_objects; }
void LockModule(bool lock) { lock ? ++g_locks : --g_locks; }
// The dispatcher thread runs code of this module until the process ends.
bool ModuleInUse() { return g_objects > 0 || g_locks > 0 || Dispatcher::Instance().Running(); }

HRESULT DupTaskString(const std::wstring& text, LPWSTR* out)
{
    if (!out)
        return E_POINTER;
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    *out = static_cast<LPWSTR>(::CoTaskMemAlloc(bytes));
    if (!*out)
        return E_OUTOFMEMORY;
    std::memcpy(*out, text.c_str(), bytes);
    return S_OK;
}

} // namespace cas

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (clsid != __uuidof(MMDeviceEnumerator))
        return CLASS_E_CLASSNOTAVAILABLE;
    return cas::g_factory.QueryInterface(riid, out);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    // The process ends or unloads the stand-in: what it still had registered
    // then is kept for the tests to read.
    if (reason == DLL_PROCESS_DETACH && cas::Dispatcher::Instance().Running())
        cas::Dispatcher::Instance().RecordEnd();
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return cas::ModuleInUse() ? S_FALSE : S_OK; }
