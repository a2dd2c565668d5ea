#pragma once
// The main dialog: checks for the card, owns the four pages, lives in the
// tray, finishes the audio set-up by a timer, routes the panel's messages and
// is at the same time the Main page.
#include "BitmapButton.h"
#include "BitmapSlider.h"
#include "CardEndpointWatch.h"
#include "CmAudioX.h"
#include "DlgDigital.h"
#include "DlgHifi.h"
#include "DlgHp.h"
#include "DlgInfo.h"
#include "Endpoints.h"
#include "Listeners.h"
#include "MyStaticBmp.h"
#include "PageColumn.h"
#include "PanelMessages.h"
#include "PanelModel.h"
#include "RoundSliderCtrl.h"
#include "SkinnedPage.h"
#include "TrayIcon.h"
#include "resource.h"

// Joins the interface thread to the multithreaded COM apartment for the
// dialog's lifetime, before any other member is constructed.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_joined = false;
};

class CZephrinDlg : public CSkinnedPage {
public:
    enum { IDD = IDD_ZEPHRIN_DIALOG };
    static constexpr UINT_PTR kStartupTimerId = 99;
    static constexpr UINT kStartupTimerPeriod = 50;
    // The card endpoint is looked for every 50 ms for the first second, when
    // it usually appears (the audio service coming up with the session).
    // Absent for longer (the digital output disabled or unplugged), it is
    // looked for twice a second: found as soon as a person would notice, at
    // next to no cost to the machine while it stays away.
    static constexpr unsigned kStartupQuickLooks = 20;
    static constexpr UINT kStartupTimerSlowPeriod = 500;
    // The panel starts in the tray: this many non-client paint requests at
    // start-up are answered by hiding the window (0 shows it at once).
    static constexpr int kStartHiddenRequests = 2;
    // Giving the card its settings again waits for this quiet time after the
    // last event that asked for it.
    static constexpr UINT_PTR kReapplyTimerId = 100;
    static constexpr UINT kReapplyQuietTime = 500;

    explicit CZephrinDlg(int startHiddenRequests = kStartHiddenRequests);
    ~CZephrinDlg() override;

    model::Page GetCurrentPage() const { return m_currentPage; }
    CPageColumn& PageColumn() { return m_pageColumn; }
    const EndpointIds& GetEndpoints() const { return m_endpoints; }
    CSkinnedPage* GetPageWindow(model::Page page);
    CDlgHifi& HifiPage() { return m_dlgHifi; }
    CDlgDigital& DigitalPage() { return m_dlgDigital; }
    CDlgInfo& InfoPage() { return m_dlgInfo; }
    CDlgHp& HpPage() { return m_dlgHp; }
    // Whether the last left click on the tray icon was one that showed the panel.
    bool IsTrayShown() const { return m_trayShown; }
    const CTrayIcon& TrayIcon() const { return m_trayIcon; }

    // The one entry point after the stored settings changed under the running
    // panel (an import here or from the command line): every page reads its
    // values again and gives them to the card as at start-up, and every page
    // takes the stored language.
    void ReloadSettings();
    // The registered message a command-line import sends the running panel.
    static UINT SettingsChangedMessage();
    // Gives the card every stored Hifi and Digital setting again, with the
    // calls the pages make when they initialise (the pages show the store
    // again too), and shows what the card holds itself: the Hp page and the
    // output switch. For when the card lost its settings or the store changed
    // under the pages. The first try runs now; if the card refuses a call,
    // the whole of it is tried again on a timer, a few times within about
    // five seconds, and then given up. The outcome goes into the log, as
    // "Card settings given again <cause>: ..." (cause: "after a resume").
    void ReapplyCardSettings(const std::wstring& cause);
    // The same after a short quiet time: a burst of events gives one.
    void ScheduleCardReapplication(const std::wstring& cause);

protected:
    BOOL OnInitDialog() override;
    void OnPicturesDue() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // The system close command ends the dialog through here.
    void OnCancel() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // The Main page's controls at the dialog's new scale.
    void OnDpiChanged() override;

private:
    // Start-up and the custom messages
    void OnTimer(UINT_PTR id);
    void OnSysCommand(WPARAM cmd, LPARAM lp);
    LRESULT OnNcPaint(WPARAM wp, LPARAM lp);
    void OnPaint();
    LRESULT OnSetLanguage(WPARAM wp, LPARAM lp);
    LRESULT OnShowPage(WPARAM wp, LPARAM lp);
    LRESULT OnMoveMain(WPARAM wp, LPARAM lp);
    LRESULT OnEndpointChanged(WPARAM wp, LPARAM lp);
    LRESULT OnVolumeChanged(WPARAM wp, LPARAM lp);
    bool OnCommand(UINT id);
    // Empty when the card and its library are there; else why not.
    std::wstring WhyTheCardCannotBeDriven() const;
    void CreatePages();
    void CompleteAudioSetup();
    void OnPreparePages();
    void OnEndSession(bool ending);
    void StopListening();

    // Giving the card its settings again (CardReapply.cpp)
    void OnPowerBroadcast(WPARAM event);
    void OnCardEndpointBack();
    void RunCardReapplication();

    // Page switch
    void ShowPageFromMain(model::Page page);
    void EndStartHidden();

    // Tray icon, menu and language
    void AddTrayIcon();
    // The notification area's picture at `dpi`; none for the window's icon.
    fw::UniqueIcon TrayImageAt(UINT dpi) const;
    // The icon at the small-icon size of `dpi`, in the notification area too.
    void ScaleTrayIcon(UINT dpi);
    // A page was moved to another display scale (WM_DPICHANGED): the page
    // on screen takes it at once and the others when next shown, the tray
    // icon follows; a hidden page alone takes it when next shown.
    LRESULT OnPageDpiChanged(WPARAM wp, LPARAM lp);
    void DeleteTrayIcon();
    void OnTaskbarCreated();
    LRESULT OnTrayNotify(WPARAM wp, LPARAM lp);
    void ShowTrayMenu();
    void ShowCurrentPage(bool show);

    // Settings and equalizer files (TransferCommands.cpp)
    void AcceptSettingsChangedMessage();
    HWND DialogOwner();
    void OnExportSettings();
    void OnImportSettings();
    void OnImportEqualizer();
    void OnExportPreset();

    // Main page
    void BindMainPageControls();
    // The Main page's controls at the dialog's scale: pictures, then sizes.
    void SetMainPageDpi();
    void SizeMainPageControls();
    void SetupMainPage();
    // The mute lamps as the endpoints read now, then the output switch as
    // the card does.
    void RefreshToggles();
    void RefreshMuteLamps();
    void RefreshOutputSwitch();
    void RefreshLevels();
    LRESULT OnSliderTrack(WPARAM wp, LPARAM lp);
    void OnKnobScroll(WPARAM wp, LPARAM lp);
    void OnReset();
    void OnMainLButtonDown(POINT pt);
    void RefreshEndpointLevels(bool digital);
    void ApplyBalance(bool digital);
    void ResetBalance(bool digital);
    void SetEndpointLevels(bool digital, float left, float right, bool rightFirst);
    bool ReadEndpointLevels(bool digital, float* left, float* right);

    ComApartment m_com;
    // Destroyed before the apartment is left: nothing stays registered.
    CAudioListeners m_listeners;
    CCardEndpointWatch m_cardWatch; // while the start-up timer runs
    unsigned m_missedLooks = 0;     // ticks that did not find the card endpoint

    // Members in order of construction (destroyed in reverse).
    CPageColumn m_pageColumn; // ids in PageColumnIds.h
    CDlgHifi m_dlgHifi;
    CDlgDigital m_dlgDigital;
    CDlgInfo m_dlgInfo;
    CDlgHp m_dlgHp;
    CRoundSliderCtrl m_knobMaster;   // 1022
    CRoundSliderCtrl m_knobDigital;  // 1023
    CMyStaticBmp m_muteMaster;       // 1026
    CMyStaticBmp m_muteDigital;      // 1027
    CBitmapSlider m_balanceMaster;   // 1047
    CBitmapSlider m_balanceDigital;  // 1049
    CBitmapButton m_btnReset;        // 1085
    CMyStaticBmp m_outputSwitch;     // 1097

    // The three toggles of the Main page, each matching the image it shows.
    bool m_masterMuted = true;
    bool m_digitalMuted = true;
    model::OutputSwitch m_output = model::OutputSwitch::Headphones;

    model::Page m_currentPage = model::Page::Main;
    EndpointIds m_endpoints;
    CMSUP_HANDLE m_cardHandle = nullptr;
    bool m_pagesCreated = false;
    // Non-client paint requests still to be answered by hiding the window.
    int m_startHiddenRequests;
    // Changed only by left clicks on the tray icon.
    bool m_trayShown = false;
    // A file operation's dialogs are open.
    bool m_fileOperationOpen = false;
    // The re-application waiting or under way: why (empty: none), the tries
    // made and when the first was.
    std::wstring m_reapplyCause;
    unsigned m_reapplyTries = 0;
    ULONGLONG m_reapplyStart = 0;
    // The icons outlive the tray entry that shows them.
    fw::UniqueIcon m_hIcon;
    fw::UniqueIcon m_trayImage; // at the small-icon size of the panel's scale
    CTrayIcon m_trayIcon;
};
