#include "DlgInfo.h"

#include "ControlPlacement.h"
#include "Handles.h"
#include "PanelMessages.h"
#include "ProgramPath.h"
#include "Settings.h"

#include <objbase.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cwchar>
#include <system_error>
#include <thread>

const wchar_t CDlgInfo::kTitle[] = L"Marvolin Vantir Audio Configuration";
const wchar_t CDlgInfo::kCopyright[] = L"Copyright \u00A9 2026 Marvolin";
const wchar_t CDlgInfo::kAddress[] = L"http://www.marvolin.com";
const wchar_t CDlgInfo::kDxVersionLibrary[] = L"Vek_GetDxVerDll.dll";

namespace {
constexpr model::ByLanguage<UINT> kBackgrounds{IDB_INFO_BG_TC, IDB_INFO_BG_SC, IDB_INFO_BG_EN};
constexpr COLORREF kTextColour = RGB(235, 235, 235);

constexpr POINT kLabelPositions[CDlgInfo::kLabelCount] = {
    {212, 85}, {212, 120}, {212, 156}, {212, 192}, {449, 85}, {449, 138}, {449, 192},
};
// Their sizes at 96 DPI (the template's in its dialog units there).
constexpr SIZE kLabelSizes[CDlgInfo::kLabelCount] = {
    {214, 21}, {214, 21}, {214, 21}, {214, 21}, {249, 21}, {249, 21}, {158, 21},
};

// The version the system itself reports. RtlGetVersion is not subject to the
// compatibility layer that makes GetVersionEx report an older system to
// programs without a manifest naming the newer one.
bool RealSystemVersion(RTL_OSVERSIONINFOW* info)
{
    using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (!ntdll)
        return false;
    auto getVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
    if (!getVersion)
        return false;
    *info = RTL_OSVERSIONINFOW{};
    info->dwOSVersionInfoSize = sizeof *info;
    return getVersion(info) == 0;
}

std::wstring ProductName()
{
    fw::UniqueKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                        KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS)
        return {};
    wchar_t buffer[256] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t); // keeps a terminating null
    DWORD type = 0;
    if (::RegQueryValueExW(key.get(), L"ProductName", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    return buffer;
}

// Whether the system (not this process) is 64-bit.
bool SystemIs64Bit()
{
#if defined(_WIN64)
    return true;
#else
    using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    auto isWow64Process2 = reinterpret_cast<IsWow64Process2Fn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2")));
    USHORT process = 0;
    USHORT native = 0;
    if (isWow64Process2 && isWow64Process2(::GetCurrentProcess(), &process, &native))
        return native == IMAGE_FILE_MACHINE_AMD64 || native == IMAGE_FILE_MACHINE_ARM64 ||
               native == IMAGE_FILE_MACHINE_IA64;
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64 ||
           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
#endif
}

} // namespace

CDlgInfo::CDlgInfo() : CSkinnedPage(IDD)
{
    for (CLabel& label : m_labels)
        label.SetTextColor(kTextColour);
}

std::wstring CDlgInfo::FormatOperatingSystem(std::wstring productName, unsigned major, unsigned minor,
                                             unsigned build, bool is64Bit)
{
    // "Microsoft Windows 7 ..." names the maker twice over on a short line.
    const std::wstring maker = L"Microsoft ";
    if (productName.compare(0, maker.size(), maker) == 0)
        productName.erase(0, maker.size());
    if (productName.empty())
        productName = L"Windows";
    const std::wstring oldName = L"Windows 10";
    size_t at = productName.find(oldName);
    if (major == 10 && build >= 22000 && at != std::wstring::npos)
        productName.replace(at, oldName.size(), L"Windows 11");
    wchar_t version[48];
    std::swprintf(version, sizeof version / sizeof version[0], L" %u.%u.%u", major, minor, build);
    return productName + version + (is64Bit ? L" 64bit" : L" 32bit");
}

std::wstring CDlgInfo::OperatingSystemLine()
{
    RTL_OSVERSIONINFOW info{};
    if (!RealSystemVersion(&info))
        return ProductName();
    return FormatOperatingSystem(ProductName(), info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                                 SystemIs64Bit());
}

std::wstring CDlgInfo::DirectXLine(const std::wstring& folder)
{
    if (folder.empty())
        return {};
    // Only the copy beside the program, never one found along the search path.
    // By its full path, with the program's library search (its own and the
    // system folder) for what it needs itself.
    fw::UniqueModule library(::LoadLibraryExW((folder + L"\\" + kDxVersionLibrary).c_str(), nullptr, 0));
    if (!library)
        return {};
    using GetDxVerFn = int(__cdecl*)();
    auto getDxVer = reinterpret_cast<GetDxVerFn>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "Vek_GetDxVer")));
    if (!getDxVer)
        return {};
    return std::to_wstring(getDxVer());
}

void CDlgInfo::OpenInBrowser(const std::wstring& address)
{
    // Handed to a thread of its own in a single-threaded apartment: the shell
    // extensions behind "open" may need one (the panel's thread is in the
    // multithreaded apartment), and starting a browser can take a while that
    // the page should not wait for.
    auto open = [address] {
        const bool joined = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
        ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        if (joined)
            ::CoUninitialize();
    };
    try {
        std::thread(open).detach();
    } catch (const std::system_error&) {
        open(); // no thread to be had: open it from here
    }
}

BOOL CDlgInfo::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    for (int i = 0; i < kLabelCount; ++i)
        m_labels[i].SubclassDlgItem(IDC_INFO_OS + i, m_hWnd);
    m_pageColumn.Bind(*this, model::Page::Info);
    SetBackgroundId(IDB_INFO_BG_TC);
    ApplySkinWhenShown(*this); // created hidden: its picture is decoded when it first shows
    FillLabels();
    PlaceLabels();
    m_pageColumn.Place(); // its bitmaps come when the page is first shown or prepared
    LoadPicturesWhenShown();
    return TRUE;
}

void CDlgInfo::OnPicturesDue()
{
    m_pageColumn.LoadBitmaps();
}

void CDlgInfo::FillLabels()
{
    Label(IDC_INFO_OS).SetWindowText(OperatingSystemLine());
    Label(IDC_INFO_DRIVER).SetWindowText(settings::Read(settings::kDriverVersion));
    Label(IDC_INFO_DIRECTX).SetWindowText(DirectXLine(fw::ProgramFolder()));
    Label(IDC_INFO_PANEL).SetWindowText(settings::Read(settings::kPanelVersion));
    Label(IDC_INFO_TITLE).SetWindowText(kTitle);
    Label(IDC_INFO_COPYRIGHT).SetWindowText(kCopyright);
    Label(IDC_INFO_ADDRESS).SetWindowText(kAddress);
}

void CDlgInfo::PlaceLabels()
{
    for (int i = 0; i < kLabelCount; ++i) {
        m_labels[i].SetDpi(GetDpi());
        SizeControl(*this, m_labels[i].m_hWnd, kLabelSizes[i].cx, kLabelSizes[i].cy);
        PlaceControl(*this, m_labels[i].m_hWnd, kLabelPositions[i].x, kLabelPositions[i].y);
    }
}

void CDlgInfo::OnDpiChanged()
{
    PlaceLabels();
    m_pageColumn.Setup();
}

void CDlgInfo::OnLButtonDown(POINT pt)
{
    // The move loop runs until the button is released; the address opens
    // afterwards if the press began on it, wherever the button went up.
    StartWindowDrag();
    if (PointOnControl(m_hWnd, Label(IDC_INFO_ADDRESS).m_hWnd, pt)) {
        if (m_openAddress)
            m_openAddress(std::wstring(kAddress) + L"/");
    } else {
        Default();
    }
}

bool CDlgInfo::OnSetCursor()
{
    // The address is a link: the hand shows where a click opens it.
    POINT pt{};
    ::GetCursorPos(&pt);
    RECT address = Label(IDC_INFO_ADDRESS).GetWindowRect();
    if (!::PtInRect(&address, pt))
        return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return true;
}

bool CDlgInfo::OnCommand(UINT id)
{
    return m_pageColumn.OnCommand(id);
}

LRESULT CDlgInfo::OnSetLanguage(LPARAM language)
{
    // The label texts are the same in every language.
    ApplyLanguageSkin(*this, language, kBackgrounds);
    return 0;
}

LRESULT CDlgInfo::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == m_hWnd && LOWORD(lp) == HTCLIENT && OnSetCursor())
            return TRUE;
        break;
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED && OnCommand(LOWORD(wp)))
            return 0;
        break;
    case WM_SET_LANGUAGE:
        return OnSetLanguage(lp);
    default:
        break;
    }
    return CSkinnedPage::WindowProc(msg, wp, lp);
}
