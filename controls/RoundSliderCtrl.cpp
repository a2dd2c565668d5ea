#include "RoundSliderCtrl.h"

CRoundSliderCtrl::CRoundSliderCtrl() = default;
CRoundSliderCtrl::~CRoundSliderCtrl() = default;
void CRoundSliderCtrl::SetIndicatorRadius(int pixels) { m_indicatorRadius = pixels; }
void CRoundSliderCtrl::SetDragByIndicatorOnly(bool only) { m_dragByIndicatorOnly = only; }
void CRoundSliderCtrl::SetZeroAngle(int degrees) { m_zeroAngle = degrees; }
void CRoundSliderCtrl::SetInverted(bool inverted) { m_inverted = inverted; }
void CRoundSliderCtrl::SetIndicatorColor(COLORREF) {}
void CRoundSliderCtrl::SetIndicatorPressedColor(COLORREF) {}
void CRoundSliderCtrl::UpdateGeometry() {}
bool CRoundSliderCtrl::TrackToPoint(POINT) { return false; }
void CRoundSliderCtrl::NotifyParent(int) {}
void CRoundSliderCtrl::SetBackgroundBitmap(UINT id) { m_backgroundId = id; }
int CRoundSliderCtrl::IndicatorAngle(int, int, int, int, bool) { return 0; }
void CRoundSliderCtrl::DrawBevelCircle(HDC, int, int, int, COLORREF, COLORREF) {}
COLORREF CRoundSliderCtrl::BevelColor(double, COLORREF a, COLORREF) { return a; }
void CRoundSliderCtrl::PreSubclassWindow() {}
LRESULT CRoundSliderCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return CSliderCtrl::WindowProc(msg, wp, lp); }
