#pragma once
// Runs a program of the test's bin folder and collects its exit code and output.
#include <string>

struct ChildResult {
    bool started = false;
    unsigned long exitCode = 0;
    std::string output;
};

// Runs "<bin folder>\<program> <arguments>" and waits up to 20 s for it.
ChildResult RunBinProgram(const std::wstring& program, const std::wstring& arguments);
