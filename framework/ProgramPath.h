#pragma once
// Where the running program's file is.
#include <string>

namespace fw {

// The full path of the running program; empty when the system cannot give it.
std::wstring ProgramPath();
// The folder of the running program, without its final separator; empty when
// the path has none.
std::wstring ProgramFolder();

} // namespace fw
