#pragma once
// The tray menu's entries for the settings and equalizer files: worded in the
// interface language (the menu's other entries read the same in every
// language), and greyed while one of them has its dialogs open.
#include "PanelModel.h"

#include <windows.h>

void NameTransferEntries(HMENU trayPopup, model::Language language, bool enabled);
