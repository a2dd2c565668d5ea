// castool: the simulated machine's audio endpoints from the command line, for
// scripts and tests. Changes a program would make (levels, mutes, hardware
// controls) go through Core Audio like any other program's; plugging,
// unplugging and choosing the default go through the stand-in's control surface.
#include "AutoGainControl.h"
#include "StandInControl.h"

#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

template <typename T>
class Com {
public:
    Com() = default;
    ~Com()
    {
        if (p)
            p->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T** put() { return &p; }
    void** putVoid() { return reinterpret_cast<void**>(&p); }
    T* operator->() const { return p; }
    T* get() const { return p; }
    T* p = nullptr;
};

std::string Utf8(const std::wstring& text)
{
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

int Fail(const char* what, HRESULT hr)
{
    std::fprintf(stderr, "castool: %s failed (0x%08lx)\n", what, static_cast<unsigned long>(hr));
    return 1;
}

int Usage()
{
    std::fputs("usage: castool COMMAND ...\n"
               "  scenario default                 the default endpoints, no notices\n"
               "  list                             every endpoint: id, flow, state, defaults, levels, mute, name\n"
               "  add NAME render|capture          plug in an endpoint; prints its id\n"
               "  remove ID                        unplug an endpoint\n"
               "  set-default ID                   default of its flow for every role\n"
               "  set-state ID active|disabled|notpresent|unplugged\n"
               "  rename ID NAME\n"
               "  set-level ID CH|all LEVEL [--context GUID]\n"
               "  get-level ID CH\n"
               "  set-mute ID 0|1 [--context GUID]\n"
               "  get-mute ID\n"
               "  hw-mute ID SUBUNIT 0|1 [--context GUID]\n"
               "  hw-agc ID SUBUNIT 0|1 [--context GUID]\n"
               "  hw-select ID SUBUNIT N [--context GUID]\n"
               "  hw-level ID SUBUNIT DB [--context GUID]\n"
               "  registrations PID                volume, control and endpoint registrations of a process\n"
               "  listen SECONDS                   register on every active endpoint and print each notice\n"
               "  no-server 0|1                    1: the endpoint enumerator cannot be created\n"
               "  name-unreadable ID 0|1           1: the endpoint's friendly name cannot be read\n"
               "  levels-unreadable ID 0|1         1: the endpoint's levels cannot be read\n"
               "ID is an endpoint id, an exact friendly name, or 'default' (default playback endpoint).\n",
               stderr);
    return 2;
}

// An endpoint id, an exact friendly name or "default".
bool ResolveId(const std::wstring& arg, std::wstring* id)
{
    int n = CasEndpointCount();
    for (int i = 0; i < n; ++i) {
        CasEndpointInfo info;
        if (SUCCEEDED(CasGetEndpointInfo(i, &info)) && _wcsicmp(info.id, arg.c_str()) == 0) {
            *id = info.id;
            return true;
        }
    }
    wchar_t found[80];
    if (SUCCEEDED(CasFindEndpointByName(arg.c_str(), found, 80))) {
        *id = found;
        return true;
    }
    if (arg == L"default") {
        for (int i = 0; i < n; ++i) {
            CasEndpointInfo info;
            if (SUCCEEDED(CasGetEndpointInfo(i, &info)) && info.flow == eRender && info.isDefault[eMultimedia]) {
                *id = info.id;
                return true;
            }
        }
    }
    std::fprintf(stderr, "castool: no endpoint '%s'\n", Utf8(arg).c_str());
    return false;
}

HRESULT OpenDevice(const std::wstring& id, IMMDevice** device)
{
    Com<IMMDeviceEnumerator> enumerator;
    HRESULT hr = ::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                    enumerator.putVoid());
    if (FAILED(hr))
        return hr;
    return enumerator->GetDevice(id.c_str(), device);
}

HRESULT OpenVolume(const std::wstring& id, IAudioEndpointVolume** volume)
{
    Com<IMMDevice> device;
    HRESULT hr = OpenDevice(id, device.put());
    if (FAILED(hr))
        return hr;
    return device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(volume));
}

// The control interface `iid` of hardware subunit `index` behind the endpoint.
HRESULT OpenSubunitControl(const std::wstring& id, UINT index, REFIID iid, void** control)
{
    Com<IMMDevice> device;
    Com<IDeviceTopology> endpointTopology, hardware;
    Com<IConnector> connector, connectedTo;
    Com<IPart> connectedPart, part;
    Com<ISubUnit> subunit;
    HRESULT hr = OpenDevice(id, device.put());
    if (SUCCEEDED(hr))
        hr = device->Activate(__uuidof(IDeviceTopology), CLSCTX_ALL, nullptr, endpointTopology.putVoid());
    if (SUCCEEDED(hr))
        hr = endpointTopology->GetConnector(0, connector.put());
    if (SUCCEEDED(hr))
        hr = connector->GetConnectedTo(connectedTo.put());
    if (SUCCEEDED(hr))
        hr = connectedTo->QueryInterface(__uuidof(IPart), connectedPart.putVoid());
    if (SUCCEEDED(hr))
        hr = connectedPart->GetTopologyObjects(hardware.put());
    if (SUCCEEDED(hr))
        hr = hardware->GetSubunit(index, subunit.put());
    if (SUCCEEDED(hr))
        hr = subunit->QueryInterface(__uuidof(IPart), part.putVoid());
    if (SUCCEEDED(hr))
        hr = part->Activate(CLSCTX_ALL, iid, control);
    return hr;
}

struct Args {
    std::vector<std::wstring> words;
    bool hasContext = false;
    GUID context = GUID_NULL;
};

bool ParseArgs(int argc, wchar_t** argv, Args* args)
{
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], L"--context") == 0) {
            if (i + 1 >= argc || FAILED(::CLSIDFromString(argv[i + 1], &args->context))) {
                std::fputs("castool: --context needs a GUID in braces\n", stderr);
                return false;
            }
            args->hasContext = true;
            ++i;
        } else {
            args->words.emplace_back(argv[i]);
        }
    }
    return true;
}

int List()
{
    static const char* states[] = {"?", "active", "disabled", "?", "notpresent", "?", "?", "?", "unplugged"};
    int n = CasEndpointCount();
    for (int i = 0; i < n; ++i) {
        CasEndpointInfo e;
        if (FAILED(CasGetEndpointInfo(i, &e)))
            continue;
        const char* state = e.state < 9 ? states[e.state] : "?";
        std::printf("%s\t%s\t%s\t%s\t%.4f\t%.4f\t%d\t%s\n", Utf8(e.id).c_str(), e.flow == eRender ? "render" : "capture",
                    state, e.isDefault[eMultimedia] ? "default" : "-", e.level[0], e.level[1], e.mute,
                    Utf8(e.name).c_str());
    }
    return 0;
}

// `listen`: another program watching the endpoints; prints one line per notice.
class Printer final : public IAudioEndpointVolumeCallback, public IMMNotificationClient {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (riid == __uuidof(IAudioEndpointVolumeCallback))
            *out = static_cast<IAudioEndpointVolumeCallback*>(this);
        else if (riid == __uuidof(IMMNotificationClient) || riid == __uuidof(IUnknown))
            *out = static_cast<IMMNotificationClient*>(this);
        else
            return *out = nullptr, E_NOINTERFACE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA d) override
    {
        wchar_t context[40] = {};
        ::StringFromGUID2(d->guidEventContext, context, 40);
        Print("volume %s mute=%d master=%.4f", Utf8(context).c_str(), d->bMuted, d->fMasterVolume);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR id, DWORD state) override
    {
        Print("state %s %lu", Utf8(id).c_str(), static_cast<unsigned long>(state));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR id) override { Print("added %s", Utf8(id).c_str()); return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR id) override { Print("removed %s", Utf8(id).c_str()); return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR id) override
    {
        Print("default %d %d %s", flow, role, id ? Utf8(id).c_str() : "-");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR id, const PROPERTYKEY) override
    {
        Print("property %s", Utf8(id).c_str());
        return S_OK;
    }

private:
    template <typename... A>
    static void Print(const char* format, A... args)
    {
        std::printf(format, args...);
        std::printf("\n");
        std::fflush(stdout);
    }
};

int Listen(DWORD seconds)
{
    static Printer printer;
    Com<IMMDeviceEnumerator> enumerator;
    Com<IMMDeviceCollection> endpoints;
    UINT count = 0;
    HRESULT hr = ::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                    enumerator.putVoid());
    if (SUCCEEDED(hr))
        hr = enumerator->EnumAudioEndpoints(eAll, DEVICE_STATE_ACTIVE, endpoints.put());
    if (SUCCEEDED(hr))
        hr = endpoints->GetCount(&count);
    if (FAILED(hr))
        return Fail("listing the endpoints", hr);
    std::vector<IAudioEndpointVolume*> volumes;
    for (UINT i = 0; i < count; ++i) {
        Com<IMMDevice> device;
        IAudioEndpointVolume* volume = nullptr;
        if (SUCCEEDED(endpoints->Item(i, device.put())) &&
            SUCCEEDED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&volume))) &&
            SUCCEEDED(volume->RegisterControlChangeNotify(&printer)))
            volumes.push_back(volume);
    }
    enumerator->RegisterEndpointNotificationCallback(&printer);
    std::printf("ready\n");
    std::fflush(stdout);
    ::Sleep(seconds * 1000);
    enumerator->UnregisterEndpointNotificationCallback(&printer);
    for (IAudioEndpointVolume* v : volumes) {
        v->UnregisterControlChangeNotify(&printer);
        v->Release();
    }
    return 0;
}

int Run(const Args& a)
{
    const std::vector<std::wstring>& w = a.words;
    if (w.empty())
        return Usage();
    const std::wstring& cmd = w[0];
    LPCGUID context = a.hasContext ? &a.context : nullptr;
    std::wstring id;

    if (cmd == L"scenario" && w.size() == 2 && w[1] == L"default")
        return FAILED(CasLoadDefaultScenario()) ? 1 : 0;
    if (cmd == L"list" && w.size() == 1)
        return List();
    if (cmd == L"add" && w.size() == 3 && (w[2] == L"render" || w[2] == L"capture")) {
        wchar_t newId[80];
        HRESULT hr = CasAddEndpoint(w[1].c_str(), w[2] == L"render" ? eRender : eCapture, newId, 80);
        if (FAILED(hr))
            return Fail("add", hr);
        std::printf("%s\n", Utf8(newId).c_str());
        return 0;
    }
    if (cmd == L"listen" && w.size() == 2)
        return Listen(std::wcstoul(w[1].c_str(), nullptr, 10));
    if (cmd == L"registrations" && w.size() == 2) {
        int32_t counts[3];
        CasGetRegistrations(static_cast<uint32_t>(std::wcstoul(w[1].c_str(), nullptr, 10)), counts);
        std::printf("%d %d %d\n", counts[0], counts[1], counts[2]);
        return 0;
    }
    if (cmd == L"no-server" && w.size() == 2 && (w[1] == L"0" || w[1] == L"1"))
        return FAILED(CasSetFaults(w[1] == L"1" ? CAS_FAULT_NO_SERVER : 0)) ? 1 : 0;
    if (w.size() < 2)
        return Usage();
    if (!ResolveId(w[1], &id))
        return 1;

    HRESULT hr = E_INVALIDARG;
    if (cmd == L"name-unreadable" && w.size() == 3) {
        hr = CasSetNameUnreadable(id.c_str(), w[2] == L"1" ? 1 : 0);
    } else if (cmd == L"levels-unreadable" && w.size() == 3) {
        hr = CasSetLevelsUnreadable(id.c_str(), w[2] == L"1" ? 1 : 0);
    } else if (cmd == L"remove" && w.size() == 2) {
        hr = CasRemoveEndpoint(id.c_str());
    } else if (cmd == L"set-default" && w.size() == 2) {
        hr = CasSetDefaultEndpoint(id.c_str());
    } else if (cmd == L"set-state" && w.size() == 3) {
        DWORD state = w[2] == L"active" ? DEVICE_STATE_ACTIVE : w[2] == L"disabled" ? DEVICE_STATE_DISABLED
                      : w[2] == L"notpresent" ? DEVICE_STATE_NOTPRESENT : w[2] == L"unplugged" ? DEVICE_STATE_UNPLUGGED : 0;
        if (!state)
            return Usage();
        hr = CasSetEndpointState(id.c_str(), state);
    } else if (cmd == L"rename" && w.size() == 3) {
        hr = CasRenameEndpoint(id.c_str(), w[2].c_str());
    } else if ((cmd == L"set-level" && w.size() == 4) || (cmd == L"get-level" && w.size() == 3) ||
               (cmd == L"set-mute" && w.size() == 3) || (cmd == L"get-mute" && w.size() == 2)) {
        Com<IAudioEndpointVolume> volume;
        hr = OpenVolume(id, volume.put());
        if (FAILED(hr))
            return Fail("opening the endpoint volume", hr);
        if (cmd == L"set-level") {
            float level = std::wcstof(w[3].c_str(), nullptr);
            hr = w[2] == L"all" ? volume->SetMasterVolumeLevelScalar(level, context)
                                : volume->SetChannelVolumeLevelScalar(std::wcstoul(w[2].c_str(), nullptr, 10), level, context);
        } else if (cmd == L"get-level") {
            float level = 0;
            hr = volume->GetChannelVolumeLevelScalar(std::wcstoul(w[2].c_str(), nullptr, 10), &level);
            if (SUCCEEDED(hr))
                std::printf("%.4f\n", level);
        } else if (cmd == L"set-mute") {
            hr = volume->SetMute(w[2] == L"1", context);
        } else {
            BOOL mute = FALSE;
            hr = volume->GetMute(&mute);
            if (SUCCEEDED(hr))
                std::printf("%d\n", mute ? 1 : 0);
        }
    } else if (cmd.rfind(L"hw-", 0) == 0 && w.size() == 4) {
        UINT index = std::wcstoul(w[2].c_str(), nullptr, 10);
        if (cmd == L"hw-mute") {
            Com<IAudioMute> mute;
            hr = OpenSubunitControl(id, index, __uuidof(IAudioMute), mute.putVoid());
            if (SUCCEEDED(hr))
                hr = mute->SetMute(w[3] == L"1", context);
        } else if (cmd == L"hw-agc") {
            Com<cas::IAutoGainControl> agc;
            hr = OpenSubunitControl(id, index, __uuidof(IAudioAutoGainControl), agc.putVoid());
            if (SUCCEEDED(hr))
                hr = agc->SetEnabled(w[3] == L"1", context);
        } else if (cmd == L"hw-select") {
            Com<IAudioInputSelector> selector;
            hr = OpenSubunitControl(id, index, __uuidof(IAudioInputSelector), selector.putVoid());
            if (SUCCEEDED(hr))
                hr = selector->SetSelection(std::wcstoul(w[3].c_str(), nullptr, 10), context);
        } else if (cmd == L"hw-level") {
            Com<IAudioVolumeLevel> level;
            hr = OpenSubunitControl(id, index, __uuidof(IAudioVolumeLevel), level.putVoid());
            if (SUCCEEDED(hr))
                hr = level->SetLevelUniform(std::wcstof(w[3].c_str(), nullptr), context);
        } else {
            return Usage();
        }
    } else {
        return Usage();
    }
    if (FAILED(hr))
        return Fail(Utf8(cmd).c_str(), hr);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Args args;
    if (!ParseArgs(argc, argv, &args))
        return 2;
    HRESULT init = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    int rc = Run(args);
    if (SUCCEEDED(init))
        ::CoUninitialize();
    return rc;
}
