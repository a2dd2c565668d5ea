#pragma once
// Factories of the stand-in's COM objects; each returns a new object with one
// reference for the caller.
#include "SharedState.h"

#include <devicetopology.h>
#include <mmdeviceapi.h>
#include <propsys.h>

#include <string>
#include <vector>

namespace cas {

HRESULT CreateDeviceEnumerator(REFIID riid, void** out);
HRESULT CreateDeviceCollection(std::vector<std::wstring> ids, IMMDeviceCollection** out);
HRESULT CreateDevice(const std::wstring& id, IMMDevice** out);
// readable false: the name cannot be read (GetValue fails).
HRESULT CreatePropertyStore(const std::wstring& name, bool readable, IPropertyStore** out);
HRESULT CreateEndpointVolume(const std::wstring& id, REFIID riid, void** out);
// The endpoint's own topology (hardware false) or the adapter's topology
// behind it (hardware true, with the subunits and their controls).
HRESULT CreateDeviceTopology(const std::wstring& id, bool hardware, REFIID riid, void** out);
// A connector (subunit < 0) or a subunit of one of those topologies.
HRESULT CreatePart(const std::wstring& id, bool hardware, int subunit, REFIID riid, void** out);
HRESULT CreatePartControl(const std::wstring& id, int subunit, ControlKind kind, void** out);
// The control kind a control interface stands for; false for any other.
bool ControlKindOf(REFIID riid, ControlKind* kind);

} // namespace cas
