#include "BitmapSlider.h"

bool CBitmapSlider::SetChannelBitmaps(UINT, UINT) { return false; }
bool CBitmapSlider::SetThumbBitmaps(UINT, UINT) { return false; }
void CBitmapSlider::SetMargins(int left, int top, int right, int bottom)
{
    m_marginLeft = left;
    m_marginTop = top;
    m_marginRight = right;
    m_marginBottom = bottom;
}
void CBitmapSlider::SetRange(int32_t minimum, int32_t maximum)
{
    m_min = minimum;
    m_max = maximum;
}
void CBitmapSlider::SetPos(int32_t value) { m_pos = value; }
int CBitmapSlider::PositionToPixel(int32_t) const { return 0; }
int32_t CBitmapSlider::PixelToPosition(int) const { return 0; }
void CBitmapSlider::DrawBitmapStrip(HDC, int, int, int, int, HBITMAP, int, int) {}
LRESULT CBitmapSlider::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return CStatic::WindowProc(msg, wp, lp); }
