#pragma once
// The settings and equalizer files' operations for scripts:
//
//     Zephrin.exe /export FILE          the settings into FILE
//     Zephrin.exe /import FILE          the settings from FILE (presets of the
//                                       same name are replaced)
//     Zephrin.exe /import-eq FILE [NAME]  a shared correction as a new preset
//                                       (named after the file unless NAME)
//     Zephrin.exe /export-eq NAME FILE  a preset in the graphic format
//
// They run whether or not a panel runs; a running panel takes an import at
// once. Each prints what it did (errors on the standard error) and ends with
// 0 when done, 1 when the file or the name was refused or a write failed, 2
// for arguments it does not understand.
#include <string>
#include <vector>

namespace commandline {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kWrongArguments = 2;

// The program's arguments (without the program itself).
std::vector<std::wstring> Arguments();
// Whether the arguments ask for one of the operations; any other start,
// with no arguments or with others, is a start of the panel.
bool IsOperation(const std::vector<std::wstring>& arguments);
// Runs the operation and returns the exit code.
int RunOperation(const std::vector<std::wstring>& arguments);
// Tells a running panel to read its settings again; true when one did.
bool TellRunningPanel();

} // namespace commandline
