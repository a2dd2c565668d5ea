#include "ListenerTarget.h"

void CListenerTarget::PostToTarget(UINT msg, WPARAM wp) const
{
    if (HWND target = m_target.load())
        ::PostMessageW(target, msg, wp, 0);
}
