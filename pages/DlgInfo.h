#pragma once
// The Info page: the versions of the system, the driver, the panel and
// DirectX, the product's title and copyright, and the maker's address, which
// opens in the default browser when clicked.
#include "Label.h"
#include "PageColumn.h"
#include "SkinnedPage.h"
#include "resource.h"

#include <functional>
#include <string>

class CDlgInfo : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_INFO };
    static constexpr int kLabelCount = 7; // controls 1020 ... 1026

    static const wchar_t kTitle[];
    static const wchar_t kCopyright[];
    static const wchar_t kAddress[];
    static const wchar_t kDxVersionLibrary[];

    CDlgInfo();

    // Opens an address in the default browser; replaceable so that a test
    // can see what would be opened without starting a browser.
    using AddressOpener = std::function<void(const std::wstring& address)>;
    void SetAddressOpener(AddressOpener opener) { m_openAddress = std::move(opener); }
    static void OpenInBrowser(const std::wstring& address);

    // The running system as the operating-system line shows it: its product
    // name, its real version (not the one a compatibility layer reports to
    // the program) and whether it is a 64-bit or a 32-bit system.
    static std::wstring OperatingSystemLine();
    // The line from its parts. The system keeps the product name of the
    // Windows 10 generation for Windows 11 (build 22000 on), so that name is
    // corrected here.
    static std::wstring FormatOperatingSystem(std::wstring productName, unsigned major, unsigned minor,
                                              unsigned build, bool is64Bit);
    // "%d" of Vek_GetDxVer from the library in `folder` (given without its
    // final backslash); empty without the folder, the library or its export.
    static std::wstring DirectXLine(const std::wstring& folder);

    CLabel& Label(int id) { return m_labels[id - IDC_INFO_OS]; }

protected:
    BOOL OnInitDialog() override;
    void OnPicturesDue() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDpiChanged() override;

private:
    void OnLButtonDown(POINT pt);
    bool OnSetCursor();
    bool OnCommand(UINT id);
    LRESULT OnSetLanguage(LPARAM language);
    void FillLabels();
    void PlaceLabels();

    CPageColumn m_pageColumn;
    CLabel m_labels[kLabelCount];
    AddressOpener m_openAddress = &CDlgInfo::OpenInBrowser;
};
