// The Main page: master and digital-output volume, mute, balance, the output
// switch and Reset.
#include "ZephrinDlg.h"

void CZephrinDlg::SetupMainPage() {}
void CZephrinDlg::RefreshToggles() {}
void CZephrinDlg::RefreshLevels() {}
LRESULT CZephrinDlg::OnSliderTrack(WPARAM, LPARAM) { return 0; }
void CZephrinDlg::OnKnobScroll(WPARAM, LPARAM) { Default(); }
void CZephrinDlg::OnReset() {}
void CZephrinDlg::OnMainLButtonDown(POINT) { StartWindowDrag(); }
