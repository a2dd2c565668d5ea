// The framework's dialogs end while their objects still receive the window's
// messages: WM_DESTROY reaches the object's handler, and the object is
// unbound only by the window's last message.
#include "Dialog.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the end of its window, as a dialog that cleans up in WM_DESTROY.
class RecordingDialog : public CDialog {
public:
    RecordingDialog(std::vector<std::string>& log, bool endAtOnce)
        : CDialog(IDD_ABOUTBOX), m_log(log), m_endAtOnce(endAtOnce)
    {
    }
protected:
    BOOL OnInitDialog() override
    {
        if (m_endAtOnce)
            PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); // ends the modal run
        return TRUE;
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_DESTROY)
            m_log.push_back(m_hWnd ? "destroy, bound" : "destroy, unbound");
        return CDialog::WindowProc(msg, wp, lp);
    }
    void PostNcDestroy() override { m_log.push_back(m_hWnd ? "last message, bound" : "last message, unbound"); }

private:
    std::vector<std::string>& m_log;
    bool m_endAtOnce;
};

const std::vector<std::string> kCleanEnd = {"destroy, bound", "last message, unbound"};

TEST(FrameworkDialog, TheEndOfAModalRunReachesTheObjectsDestroyHandler)
{
    std::vector<std::string> log;
    RecordingDialog dialog(log, true);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(log, kCleanEnd);
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "unbound once the window is gone";
}

} // namespace
