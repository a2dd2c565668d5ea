#include "AudioTestSupport.h"

#include "ChildProcess.h"
#include "TestSupport.h"

#include <mmdeviceapi.h>
#include <objbase.h>

#include <utility>

namespace audiotest {

std::wstring IdOf(const std::wstring& name)
{
    wchar_t id[80] = {};
    if (FAILED(CasFindEndpointByName(name.c_str(), id, 80)))
        return {};
    return id;
}

CasEndpointInfo InfoOf(const std::wstring& id)
{
    CasEndpointInfo info{};
    for (int i = 0, n = CasEndpointCount(); i < n; ++i)
        if (SUCCEEDED(CasGetEndpointInfo(i, &info)) && id == info.id)
            return info;
    return CasEndpointInfo{};
}

std::wstring Quote(const std::wstring& text) { return L"\"" + text + L"\""; }

ToolResult RunTool(const std::wstring& arguments)
{
    ChildResult run = RunBinProgram(L"castool.exe", arguments);
    ToolResult result;
    if (run.started) {
        result.exitCode = run.exitCode;
        result.output = std::move(run.output);
    }
    return result;
}

MessageRecorder::MessageRecorder()
{
    static const wchar_t kClass[] = L"ZephrinAudioTestRecorder";
    WNDCLASSW wc{};
    wc.lpfnWndProc = &MessageRecorder::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassW(&wc);
    m_hwnd = ::CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageRecorder::~MessageRecorder()
{
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

LRESULT CALLBACK MessageRecorder::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<MessageRecorder*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg >= WM_USER) {
        self->m_entries.push_back({msg, wp, lp});
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

bool MessageRecorder::WaitForCount(size_t count, std::chrono::milliseconds timeout)
{
    return testsupport::PumpUntil([&] { return m_entries.size() >= count; }, timeout);
}

bool MessageRecorder::Take(UINT msg)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->msg == msg) {
            m_entries.erase(it);
            return true;
        }
    }
    return false;
}

// Posts the fence's message for every notice it is told.
class NoticeFence::Listener final : public IAudioEndpointVolumeCallback {
public:
    explicit Listener(HWND target) : m_target(target) {}
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&m_ref); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = ::InterlockedDecrement(&m_ref);
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IAudioEndpointVolumeCallback)) {
            *out = static_cast<IAudioEndpointVolumeCallback*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA) override
    {
        ::PostMessageW(m_target, NoticeFence::kMessage, 0, 0);
        return S_OK;
    }

private:
    LONG m_ref = 1;
    HWND m_target;
};

bool NoticeFence::Open()
{
    wchar_t id[80] = {};
    if (FAILED(CasAddEndpoint(L"Notice fence", 1, id, 80)))
        return false;
    IMMDeviceEnumerator* enumerator = nullptr;
    IMMDevice* device = nullptr;
    if (SUCCEEDED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                     reinterpret_cast<void**>(&enumerator))) &&
        SUCCEEDED(enumerator->GetDevice(id, &device)))
        device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&m_volume));
    if (device)
        device->Release();
    if (enumerator)
        enumerator->Release();
    if (!m_volume)
        return false;
    m_listener = new Listener(m_recorder.hwnd());
    if (FAILED(m_volume->RegisterControlChangeNotify(m_listener))) {
        Close();
        return false;
    }
    return true;
}

bool NoticeFence::Pass(std::chrono::milliseconds timeout)
{
    if (!m_volume && !Open())
        return false;
    m_level = m_level == 0.25f ? 0.75f : 0.25f;
    if (FAILED(m_volume->SetChannelVolumeLevelScalar(0, m_level, nullptr)))
        return false;
    return testsupport::PumpUntil([&] { return m_recorder.Take(kMessage); }, timeout);
}

void NoticeFence::Close()
{
    if (m_volume) {
        if (m_listener)
            m_volume->UnregisterControlChangeNotify(m_listener);
        m_volume->Release();
        m_volume = nullptr;
    }
    if (m_listener) {
        m_listener->Release();
        m_listener = nullptr;
    }
}

} // namespace audiotest
