// IMMDeviceCollection: the endpoints that matched when it was made.
#include "ComBase.h"
#include "Objects.h"

namespace cas {

namespace {

class CDeviceCollection final : public IMMDeviceCollection, private ComObject {
public:
    explicit CDeviceCollection(std::vector<std::wstring> ids) : m_ids(std::move(ids)) {}
    CAS_REFCOUNT

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IMMDeviceCollection)) {
            *out = static_cast<IMMDeviceCollection*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE GetCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = static_cast<UINT>(m_ids.size());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Item(UINT index, IMMDevice** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (index >= m_ids.size())
            return E_INVALIDARG;
        return CreateDevice(m_ids[index], out);
    }

private:
    std::vector<std::wstring> m_ids;
};

} // namespace

HRESULT CreateDeviceCollection(std::vector<std::wstring> ids, IMMDeviceCollection** out)
{
    auto* c = new (std::nothrow) CDeviceCollection(std::move(ids));
    if (!c)
        return E_OUTOFMEMORY;
    *out = c;
    return S_OK;
}

} // namespace cas
