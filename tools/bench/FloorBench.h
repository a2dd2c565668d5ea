#pragma once
// zbench's side of the floor: the pages' sizes and shapes read from the
// running panel, the floor program (BenchFloor.exe, beside zbench) started
// with them, and its switches timed as the panel's are.
#include "FloorProtocol.h"

#include <string>
#include <vector>

struct FloorTimes {
    std::vector<FloorPage> pages;
    // The same pairs of pages, in the same order, as zbench's page switches
    // of the panel; `reps` of them, rounded up to whole rounds.
    std::vector<double> pageSwitch;
    // Each a change to another language, as the panel's language switches.
    std::vector<double> languageSwitch;
};

// Starts the panel, shows each of its pages once, reads every page's window
// size and shape, ends it; then measures the floor program with them.
FloorTimes MeasureFloor(const std::wstring& panelExe, int reps);
