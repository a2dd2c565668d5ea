#include "MyStaticBmp.h"

CMyStaticBmp::~CMyStaticBmp() = default;
void CMyStaticBmp::SetState(bool on) { m_state = on; }
bool CMyStaticBmp::SetPictureList(const UINT (&)[4], int) { return true; }
bool CMyStaticBmp::SetPictureList(const UINT (&)[kPictureSlots], int) { return true; }
void CMyStaticBmp::ShowPicture(int) {}
HBITMAP CMyStaticBmp::GetPicture(int) const { return nullptr; }
HBITMAP CMyStaticBmp::LoadBitmapResource(UINT) { return nullptr; }
