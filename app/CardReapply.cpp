// Giving the card its settings again. A sleep or hibernation usually cuts the
// card's power and a driver restart sets it back: the card then plays flat
// while the pages still show the user's settings. After a resume and when the
// card's endpoint comes back, the pages give the card every stored setting
// again with the calls they make when they initialise, and show what the card
// itself holds. Right after a resume the card may refuse calls for a moment:
// a refusal runs the whole of it again a little later, a few times, on a
// timer, so the interface never waits.
#include "CardAnswerWatch.h"
#include "Log.h"
#include "ZephrinDlg.h"

#include <cstdio>
#include <iterator>
#include <string>

namespace {

// The retries after the first try: tries at 0, 0.4, 1.2, 2.4 and 4 s.
constexpr UINT kRetryDelays[] = {400, 800, 1200, 1600};
constexpr unsigned kTries = 1 + static_cast<unsigned>(std::size(kRetryDelays));

} // namespace

void CZephrinDlg::ScheduleCardReapplication(const std::wstring& cause)
{
    if (!m_pagesCreated)
        return; // still starting: the pages are about to give the card their settings
    // A burst of events (the two resume notices, the card's endpoint coming
    // back) gives one re-application: each restarts the quiet time, and the
    // first one's cause names it. A retry under way starts afresh.
    if (m_reapplyCause.empty() || m_reapplyTries > 0)
        m_reapplyCause = cause;
    m_reapplyTries = 0;
    SetTimer(kReapplyTimerId, kReapplyQuietTime);
}

void CZephrinDlg::ReapplyCardSettings(const std::wstring& cause)
{
    if (!m_pagesCreated)
        return;
    KillTimer(kReapplyTimerId);
    m_reapplyCause = cause;
    m_reapplyTries = 0;
    RunCardReapplication();
}

void CZephrinDlg::RunCardReapplication()
{
    if (m_reapplyTries++ == 0)
        m_reapplyStart = ::GetTickCount64();

    CCardAnswerWatch watch;
    // The pages in the order they are created, each giving the card what it
    // gives it when it initialises; then the output switch as the Main page
    // reads it.
    m_dlgHifi.ReloadFromStore();
    m_dlgDigital.ReloadFromStore();
    m_dlgHp.ReadCard();
    RefreshOutputSwitch();

    wchar_t outcome[200] = {};
    if (watch.Refusals() == 0) {
        if (m_reapplyTries == 1)
            std::swprintf(outcome, 200, L"taken");
        else
            std::swprintf(outcome, 200, L"taken at try %u", m_reapplyTries);
    } else if (m_reapplyTries < kTries) {
        SetTimer(kReapplyTimerId, kRetryDelays[m_reapplyTries - 1]);
        return;
    } else {
        const double seconds = static_cast<double>(::GetTickCount64() - m_reapplyStart) / 1000.0;
        const std::string first = watch.FirstRefused() ? watch.FirstRefused() : "";
        std::swprintf(outcome, 200, L"refused at each of %u tries within %.1f s (first %ls); given up", kTries,
                      seconds, std::wstring(first.begin(), first.end()).c_str());
    }
    diag::LogLine(L"Card settings given again " + m_reapplyCause + L": " + outcome);
    m_reapplyCause.clear();
    m_reapplyTries = 0;
}

void CZephrinDlg::OnPowerBroadcast(WPARAM event)
{
    // Every resume brings PBT_APMRESUMEAUTOMATIC; one a person caused brings
    // PBT_APMRESUMESUSPEND as well.
    if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND)
        ScheduleCardReapplication(L"after a resume");
}

void CZephrinDlg::OnCardEndpointBack()
{
    // Its identifier may be a new one: the digital group follows it.
    FindCardEndpoint(m_endpoints);
    RefreshLevels();
    RefreshMuteLamps();
    ScheduleCardReapplication(L"after the card's endpoint came back");
}
