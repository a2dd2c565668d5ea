#include "Label.h"

CLabel::~CLabel() = default;
bool CLabel::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }
LRESULT CLabel::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return CStatic::WindowProc(msg, wp, lp); }
