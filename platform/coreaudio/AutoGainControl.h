#pragma once
// IAudioAutoGainControl as Windows lays it out (GetEnabled(BOOL*), then
// SetEnabled(BOOL, LPCGUID)); the MinGW header names and types these two slots
// differently, so the stand-in and its tool use this declaration.
#include <devicetopology.h>

namespace cas {

struct IAutoGainControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(BOOL enable, LPCGUID context) = 0;
};

} // namespace cas
