// The simulated card's state lives in CmAudioX.state beside the DLL: it
// survives while no process has the library loaded (this program does not
// load it), and a damaged or missing file starts a freshly installed card.
#include "ChildProcess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

std::string Simcard(const std::wstring& arguments)
{
    ChildResult r = RunBinProgram(L"simcard.exe", arguments);
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, 0u);
    return r.output;
}

std::wstring StateFile() { return testsupport::ProgramFolder() + L"\\CmAudioX.state"; }

TEST(SimCardFile, StateOutlivesEveryProcess)
{
    Simcard(L"reset");
    Simcard(L"set roomSize 2");
    Simcard(L"set spkData 1");
    EXPECT_EQ(Simcard(L"get roomSize"), "2\n");
    EXPECT_EQ(Simcard(L"get spkData"), "1\n");
    Simcard(L"reset");
    EXPECT_EQ(Simcard(L"get spkData"), "1310724\n");
}

TEST(SimCardFile, DamagedOrMissingFileStartsFromTheDefaults)
{
    Simcard(L"set crossover 30");
    FILE* f = _wfopen(StateFile().c_str(), L"wb");
    ASSERT_NE(f, nullptr) << "no process may hold the state file now";
    fputs("not a card", f);
    fclose(f);
    EXPECT_EQ(Simcard(L"get crossover"), "80\n");
    EXPECT_EQ(Simcard(L"journal"), "");

    Simcard(L"set crossover 30");
    ASSERT_TRUE(::DeleteFileW(StateFile().c_str()));
    EXPECT_EQ(Simcard(L"get crossover"), "80\n");
}

} // namespace
