#pragma once
// CDialog: a dialog built from a template resource, run modally (with the
// framework's own message loop) or created modeless with an owner.
#include "Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr) : m_templateId(templateId), m_parent(parent) {}
    ~CDialog() override;

    // Modal run: creates the dialog, shows it and runs the message loop until
    // EndDialog. Every message is first offered to the filter of the framework
    // dialog that its target window belongs to, then to that dialog's own
    // keyboard handling, and only then translated and dispatched.
    INT_PTR DoModal();
    // Modeless creation from the template, owned by `owner`.
    BOOL Create(UINT templateId, HWND owner);
    void EndDialog(INT_PTR result);
    bool IsEnded() const { return m_ended; }
    INT_PTR GetResult() const { return m_result; }
    UINT GetTemplateId() const { return m_templateId; }

    // The dialog's key filter: return TRUE to discard the message.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Offers a message to the filter and keyboard handling of the framework
    // dialog that its target belongs to; true when the message was consumed.
    static bool PreTranslateInput(MSG* msg);
    // Pumps messages until `done` becomes true (used by the modal run).
    static void RunMessageLoop(const bool& done);

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK();
    virtual void OnCancel();
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    UINT m_templateId;
    HWND m_parent;

private:
    static INT_PTR CALLBACK DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    bool m_modal = false;
    bool m_ended = false;
    INT_PTR m_result = 0;
};

// The module whose resources the framework loads (the running program).
HINSTANCE FrameworkResourceHandle();
