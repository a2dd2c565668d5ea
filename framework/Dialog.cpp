#include "Dialog.h"

#include "ErrorReport.h"

#include <exception>
#include <string>

HINSTANCE FrameworkResourceHandle()
{
    return ::GetModuleHandleW(nullptr);
}

CDialog::~CDialog()
{
    // A derived dialog destroys its window in its own destructor when its
    // handlers must see the end; what is left goes here, still bound, and
    // the window's last message (WM_NCDESTROY) unbinds this object.
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND wnd, UINT msg, WPARAM, LPARAM lp)
{
    if (msg != WM_INITDIALOG)
        return FALSE; // everything else went through the object's subclass first
    auto* self = reinterpret_cast<CDialog*>(lp);
    if (!self)
        return TRUE;
    self->SubclassWindow(wnd);
    // The initialisation that stopped half-way is reported; the dialog stays.
    try {
        return self->OnInitDialog();
    } catch (const std::exception& e) {
        fw::ReportException(L"the initialisation of dialog " + std::to_wstring(self->GetTemplateId()), e.what());
    } catch (...) {
        fw::ReportException(L"the initialisation of dialog " + std::to_wstring(self->GetTemplateId()), nullptr);
    }
    return TRUE;
}

BOOL CDialog::Create(UINT templateId, HWND owner)
{
    m_templateId = templateId;
    m_parent = owner;
    m_modal = false;
    m_ended = false;
    HWND wnd = ::CreateDialogParamW(FrameworkResourceHandle(), MAKEINTRESOURCEW(templateId), owner,
                                    &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return wnd != nullptr;
}

INT_PTR CDialog::DoModal()
{
    m_modal = true;
    m_ended = false;
    m_result = -1;
    HWND owner = m_parent;
    bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);
    HWND wnd = ::CreateDialogParamW(FrameworkResourceHandle(), MAKEINTRESOURCEW(m_templateId), owner,
                                    &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (wnd && !m_ended) {
        ::ShowWindow(wnd, SW_SHOWNORMAL);
        RunMessageLoop(m_ended);
    }
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    // Destroyed while this object still receives the window's messages, so
    // its WM_DESTROY handling runs; WM_NCDESTROY unbinds it.
    if (m_hWnd) {
        ::DestroyWindow(m_hWnd);
    } else if (wnd && ::IsWindow(wnd)) {
        ::DestroyWindow(wnd);
    }
    m_modal = false;
    return wnd ? m_result : -1;
}

void CDialog::RunMessageLoop(const bool& done)
{
    MSG msg;
    while (!done) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        if (!PreTranslateInput(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

bool CDialog::PreTranslateInput(MSG* msg)
{
    if (!msg->hwnd)
        return false;
    HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
    auto* dialog = dynamic_cast<CDialog*>(FromHandlePermanent(root));
    if (!dialog)
        return false;
    if (dialog->PreTranslateMessage(msg))
        return true;
    return ::IsDialogMessageW(root, msg) != FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CDialog::EndDialog(INT_PTR result)
{
    m_result = result;
    m_ended = true;
    if (m_hWnd)
        ::ShowWindow(m_hWnd, SW_HIDE);
    if (m_modal)
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0); // wake the modal loop
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // IDOK / IDCANCEL: from a button, from the Enter and Escape keys, or from
    // the system close command.
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        switch (LOWORD(wp)) {
        case IDOK:
            OnOK();
            return 0;
        case IDCANCEL:
            OnCancel();
            return 0;
        default:
            break;
        }
    }
    return CWnd::WindowProc(msg, wp, lp);
}
