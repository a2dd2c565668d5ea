#include "MemDC.h"

CMemDC::CMemDC(HDC target, const RECT* rect, bool) : m_target(target)
{
    if (rect)
        m_rect = *rect;
}

CMemDC::~CMemDC() = default;
