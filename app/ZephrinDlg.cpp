#include "ZephrinDlg.h"

#include "AboutDlg.h"
#include "FindDeviceWinxp.h"
#include "Log.h"
#include "RestartAfterFault.h"
#include "Settings.h"

#include <objbase.h>
#include <windowsx.h>
#include <string>

namespace {
using model::Language;
using model::Page;

const wchar_t kCardDescription[] = L"VANTIR";
const wchar_t kCardInstanceFragment[] = L"171314C3";
} // namespace

ComApartment::ComApartment()
{
    m_joined = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
}

ComApartment::~ComApartment()
{
    if (m_joined)
        ::CoUninitialize();
}

CZephrinDlg::CZephrinDlg(int startHiddenRequests) : CSkinnedPage(IDD), m_startHiddenRequests(startHiddenRequests)
{
    m_hIcon.reset(static_cast<HICON>(
        ::LoadImageW(FrameworkResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
}

CZephrinDlg::~CZephrinDlg()
{
    // The window goes while this object still handles its WM_DESTROY.
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    // However the dialog ended, the tray icon goes with its member.
}

CSkinnedPage* CZephrinDlg::GetPageWindow(Page page)
{
    switch (page) {
    case Page::Main:
        return this;
    case Page::Hifi:
        return &m_dlgHifi;
    case Page::Digital:
        return &m_dlgDigital;
    case Page::Info:
        return &m_dlgInfo;
    case Page::Hp:
        return &m_dlgHp;
    }
    return nullptr;
}

std::wstring CZephrinDlg::WhyTheCardCannotBeDriven() const
{
    if (!CardLibraryAvailable())
        return L"the card's control library is damaged: " + CardLibraryProblem();
    if (!FindDevByDeviceDesc(kCardDescription))
        return std::wstring(L"Windows lists no device described as ") + kCardDescription;
    if (!FindDevByDeviceInstanceId(kCardInstanceFragment))
        return std::wstring(L"Windows lists no device whose instance id contains ") + kCardInstanceFragment;
    return {};
}

BOOL CZephrinDlg::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    m_pageColumn.Bind(*this, Page::Main);
    BindMainPageControls();
    DeferPictureLoading(m_hWnd); // until the panel is first shown, after the icon

    if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        wchar_t about[128] = {};
        if (::LoadStringW(FrameworkResourceHandle(), IDS_ABOUTBOX, about, 128) > 0) {
            ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon.get()));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon.get()));

    m_cardHandle = nullptr;
    CMSUP_GetInterface(&m_cardHandle);

    // A tool window has no taskbar button.
    ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);

    // A damaged card software (its library missing or incomplete) ends the
    // panel as quietly as a machine without the card; only the log tells.
    const std::wstring noCard = WhyTheCardCannotBeDriven();
    if (!noCard.empty()) {
        diag::LogLine(L"Ended at start: " + noCard);
        EndDialog(IDOK);
        return TRUE;
    }

    FindCardEndpoint(m_endpoints);

    SetBackgroundId(IDB_MAIN_BG_TC);
    // Sized now, its picture decoded when the window first shows (the panel
    // starts in the tray) or, at the latest, once the icon is in place.
    ApplySkinWhenShown(*this);
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    CreatePages();
    m_pageColumn.Place();
    SetupMainPage();
    SetTimer(kStartupTimerId, kStartupTimerPeriod);
    RefreshToggles();
    RefreshLevels();
    LoadPicturesWhenShown();
    AddTrayIcon();
    AcceptSettingsChangedMessage();

    // The stored number as it is: one that names no language changes none.
    SendMessage(WM_SET_LANGUAGE, 0, settings::Read(settings::kLanguage));

    m_currentPage = Page::Main;
    PostMessage(WM_PREPARE_PAGES);
    RegisterRestartAfterFault();
    return TRUE;
}

void CZephrinDlg::OnPicturesDue()
{
    m_pageColumn.LoadBitmaps();
    LoadDeferredPictures(m_hWnd);
}

void CZephrinDlg::CreatePages()
{
    // Each page initialises itself (and re-applies its settings to the card)
    // while it is created; all start hidden, owned by the main dialog.
    m_dlgHifi.Create(CDlgHifi::IDD, m_hWnd);
    m_dlgHifi.ShowWindow(SW_HIDE);
    m_dlgDigital.Create(CDlgDigital::IDD, m_hWnd);
    m_dlgDigital.ShowWindow(SW_HIDE);
    m_dlgInfo.Create(CDlgInfo::IDD, m_hWnd);
    m_dlgInfo.ShowWindow(SW_HIDE);
    m_dlgHp.Create(CDlgHp::IDD, m_hWnd);
    m_dlgHp.ShowWindow(SW_HIDE);
    m_pagesCreated = true;
}

void CZephrinDlg::OnCancel()
{
    // The system close command ends the program like Exit: the icon goes
    // while the window still exists.
    diag::LogLine(L"Ended by the window's close command");
    DeleteTrayIcon();
    CSkinnedPage::OnCancel();
}

BOOL CZephrinDlg::PreTranslateMessage(MSG* msg)
{
    // Key presses never reach the main dialog or its controls: Enter and
    // Escape cannot end it, and the knobs and sliders take no keys.
    return msg->message == WM_KEYDOWN;
}

LRESULT CZephrinDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    const UINT taskbarCreated = TaskbarCreatedMessage();
    switch (msg) {
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wp));
        return 0;
    case WM_SYSCOMMAND:
        OnSysCommand(wp, lp);
        return 0;
    case WM_NCPAINT:
        return OnNcPaint(wp, lp);
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon.get());
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp)))
            return 0;
        break;
    case WM_HSCROLL:
        OnKnobScroll(wp, lp);
        return 0;
    case WM_LBUTTONDOWN:
        OnMainLButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_DESTROY:
        // However the window goes, no dead icon stays in the tray, and no
        // change notice is delivered once the window and COM are gone.
        DeleteTrayIcon();
        StopListening();
        m_cardWatch.Stop();
        break;
    case WM_ENDSESSION:
        OnEndSession(wp != FALSE);
        return 0;
    case WM_SET_LANGUAGE:
        return OnSetLanguage(wp, lp);
    case WM_TRAY_NOTIFY:
        return OnTrayNotify(wp, lp);
    case WM_SHOW_PAGE:
        return OnShowPage(wp, lp);
    case WM_MOVE_MAIN:
        return OnMoveMain(wp, lp);
    case WM_ENDPOINT_CHANGED:
        return OnEndpointChanged(wp, lp);
    case WM_VOLUME_CHANGED:
        return OnVolumeChanged(wp, lp);
    case WM_SLIDER_TRACK:
        return OnSliderTrack(wp, lp);
    case WM_PAGE_DPI_CHANGED:
        return OnPageDpiChanged(wp, lp);
    case WM_PREPARE_PAGES:
        OnPreparePages();
        return 0;
    case WM_POWERBROADCAST:
        OnPowerBroadcast(wp);
        return TRUE;
    case WM_CARD_ENDPOINT_BACK:
        OnCardEndpointBack();
        return 0;
    default:
        if (msg == taskbarCreated && taskbarCreated != 0) {
            OnTaskbarCreated();
            return 0;
        }
        if (msg == SettingsChangedMessage() && msg != 0) {
            ReloadSettings();
            return kSettingsChangedReply;
        }
        break;
    }
    return CSkinnedPage::WindowProc(msg, wp, lp);
}

void CZephrinDlg::OnTimer(UINT_PTR id)
{
    if (id == kReapplyTimerId) {
        KillTimer(kReapplyTimerId);
        RunCardReapplication();
        return;
    }
    if (id != kStartupTimerId) {
        Default();
        return;
    }
    if (!m_cardWatch.Look(m_endpoints)) {
        // Tried again on the next tick, after the first second less often.
        if (++m_missedLooks == kStartupQuickLooks)
            SetTimer(kStartupTimerId, kStartupTimerSlowPeriod);
        return;
    }
    m_cardWatch.Stop();
    CompleteAudioSetup();
}

void CZephrinDlg::OnPreparePages()
{
    // Once the panel is in the tray, the hidden pages (the Main page too) build
    // their skins one by one, so the first switch to a page answers as fast
    // as any later one.
    // One page a message: the queue is looked at in between.
    for (Page page : model::kPages) {
        const CSkinnedPage* window = GetPageWindow(page);
        if (window && window->m_hWnd && window->SkinPending()) {
            window->BuildPendingSkin();
            PostMessage(WM_PREPARE_PAGES);
            return;
        }
    }
}

void CZephrinDlg::CompleteAudioSetup()
{
    RefreshToggles();
    RefreshLevels();

    // The owner holds each listener from its registration on; the creator
    // references go with these pointers.
    m_listeners.SetTarget(m_hWnd);
    const ComPtr<CAudioEndpointVolumeCallback> volumeListener = CreateVolumeListener();
    m_listeners.RegisterVolumeCallbacks(volumeListener.get(), kEventContextGuid);

    const ComPtr<CControlChangeNotify> controlListener = CreateControlChangeListener();
    GetDefaultEndpointId(m_endpoints);
    m_listeners.RegisterTopologyCallbacks(controlListener.get(), m_endpoints.defaultId, kEventContextGuid);

    const ComPtr<CMMNotificationClient> endpointClient = CreateEndpointNotificationClient();
    m_listeners.RegisterEndpointNotifications(endpointClient.get());

    KillTimer(kStartupTimerId);
}

void CZephrinDlg::StopListening()
{
    m_listeners.WithdrawAll();
}

void CZephrinDlg::OnEndSession(bool ending)
{
    if (!ending)
        return;
    // The system may end the process as soon as this returns: nothing stays
    // registered and no icon stays behind, then the panel ends like Exit.
    diag::LogLine(L"Ended with the Windows session");
    DeleteTrayIcon();
    StopListening();
    EndDialog(IDOK);
}

void CZephrinDlg::OnSysCommand(WPARAM cmd, LPARAM)
{
    if ((cmd & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(m_hWnd);
        about.DoModal();
        return;
    }
    Default();
}

LRESULT CZephrinDlg::OnNcPaint(WPARAM, LPARAM)
{
    // The panel starts in the tray: the first two non-client paint requests
    // hide the window instead of painting it.
    if (m_startHiddenRequests > 0) {
        --m_startHiddenRequests;
        ShowWindow(SW_HIDE);
        return 0;
    }
    return Default();
}

void CZephrinDlg::OnPaint()
{
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT rc = GetClientRect();
    int cx = ::GetSystemMetrics(SM_CXICON);
    int cy = ::GetSystemMetrics(SM_CYICON);
    ::DrawIcon(dc, (rc.right - rc.left - cx + 1) / 2, (rc.bottom - rc.top - cy + 1) / 2, m_hIcon.get());
}

bool CZephrinDlg::OnCommand(UINT id)
{
    switch (id) {
    case IDC_MAIN_CLOSE:
        ShowWindow(SW_HIDE);
        m_currentPage = Page::Main;
        return true;
    case IDC_MAIN_TO_MAIN:
        EndStartHidden();
        ShowWindow(SW_SHOW);
        m_currentPage = Page::Main;
        return true;
    case IDC_MAIN_TO_HIFI:
        ShowPageFromMain(Page::Hifi);
        return true;
    case IDC_MAIN_TO_DIGITAL:
        ShowPageFromMain(Page::Digital);
        return true;
    case IDC_MAIN_TO_INFO:
        ShowPageFromMain(Page::Info);
        return true;
    case IDC_MAIN_TO_HP:
        ShowPageFromMain(Page::Hp);
        return true;
    case IDC_MAIN_RESET:
        OnReset();
        return true;
    case ID_LANG_TRADITIONAL:
        SendMessage(WM_SET_LANGUAGE, 0, model::Number(Language::TraditionalChinese));
        return true;
    case ID_LANG_SIMPLIFIED:
        SendMessage(WM_SET_LANGUAGE, 0, model::Number(Language::SimplifiedChinese));
        return true;
    case ID_LANG_ENGLISH:
        SendMessage(WM_SET_LANGUAGE, 0, model::Number(Language::English));
        return true;
    case ID_SHOW_PANEL:
        ShowCurrentPage(true);
        return true;
    case ID_EXPORT_SETTINGS:
        OnExportSettings();
        return true;
    case ID_IMPORT_SETTINGS:
        OnImportSettings();
        return true;
    case ID_IMPORT_EQUALIZER:
        OnImportEqualizer();
        return true;
    case ID_EXPORT_PRESET:
        OnExportPreset();
        return true;
    case ID_EXIT:
        diag::LogLine(L"Exit chosen from the tray menu");
        DeleteTrayIcon();
        EndDialog(IDOK);
        return true;
    default:
        return false;
    }
}

LRESULT CZephrinDlg::OnEndpointChanged(WPARAM, LPARAM lp)
{
    if (lp == 0 && m_pagesCreated)
        m_dlgHifi.SendMessage(WM_ENDPOINT_CHANGED, 0, 0);
    return 1;
}

LRESULT CZephrinDlg::OnVolumeChanged(WPARAM wp, LPARAM)
{
    // Only changes made by another program refresh the page; the panel's
    // own and hardware control notices are ignored.
    if (wp == model::Number(model::VolumeNoticeSource::OtherProgram)) {
        RefreshLevels();
        RefreshToggles();
    }
    return 1;
}
