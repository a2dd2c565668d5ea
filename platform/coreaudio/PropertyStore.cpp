// IPropertyStore of an endpoint: its friendly name, read-only.
#include "ComBase.h"
#include "Objects.h"

#include <initguid.h> // defines PKEY_Device_FriendlyName here
#include <functiondiscoverykeys_devpkey.h>
#include <propidl.h>

namespace cas {

namespace {

class CPropertyStore final : public IPropertyStore, private ComObject {
public:
    CPropertyStore(std::wstring name, bool readable) : m_name(std::move(name)), m_readable(readable) {}
    CAS_REFCOUNT

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IPropertyStore)) {
            *out = static_cast<IPropertyStore*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetAt(DWORD index, PROPERTYKEY* key) override
    {
        if (!key)
            return E_POINTER;
        if (index != 0)
            return E_INVALIDARG;
        *key = PKEY_Device_FriendlyName;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* value) override
    {
        if (!value)
            return E_POINTER;
        PropVariantInit(value);
        // A property the store does not hold reads as VT_EMPTY, with success.
        if (key.fmtid != PKEY_Device_FriendlyName.fmtid || key.pid != PKEY_Device_FriendlyName.pid)
            return S_OK;
        if (!m_readable)
            return E_FAIL; // a damaged endpoint: its name cannot be read
        LPWSTR text = nullptr;
        HRESULT hr = DupTaskString(m_name, &text);
        if (FAILED(hr))
            return hr;
        value->vt = VT_LPWSTR;
        value->pwszVal = text;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY, REFPROPVARIANT) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE Commit() override { return STG_E_ACCESSDENIED; }

private:
    std::wstring m_name;
    bool m_readable;
};

} // namespace

HRESULT CreatePropertyStore(const std::wstring& name, bool readable, IPropertyStore** out)
{
    auto* s = new (std::nothrow) CPropertyStore(name, readable);
    if (!s)
        return E_OUTOFMEMORY;
    *out = s;
    return S_OK;
}

} // namespace cas
