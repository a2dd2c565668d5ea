// The simulated card as the panel and the test tools see it: state shared
// with other processes, Gets that always write their out-parameter, and a
// journal of every call in order with all its arguments.
#include "ChildProcess.h"
#include "CmAudioX.h"
#include "SimCardControl.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <sstream>
#include <utility>
#include <vector>

namespace {

std::string Simcard(const std::wstring& arguments, unsigned long expectedExit = 0)
{
    ChildResult r = RunBinProgram(L"simcard.exe", arguments);
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, expectedExit) << "simcard " << std::string(arguments.begin(), arguments.end());
    return r.output;
}

std::vector<SimCardCall> Journal()
{
    std::vector<SimCardCall> calls;
    for (int32_t i = 0; i < SimCard_JournalCount(); ++i) {
        SimCardCall call{};
        EXPECT_EQ(SimCard_JournalEntry(i, &call), 1);
        calls.push_back(call);
    }
    return calls;
}

std::vector<int32_t> Args(const SimCardCall& call)
{
    return std::vector<int32_t>(call.args, call.args + call.argCount);
}

class SimCardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimCard_Reset();
        ASSERT_EQ(CMSUP_GetInterface(&handle), 1);
        ASSERT_NE(handle, nullptr);
        SimCard_JournalClear();
    }
    void TearDown() override { SimCard_Reset(); }

    CMSUP_HANDLE handle = nullptr;
};

TEST_F(SimCardTest, ResetGivesTheDocumentedDefaults)
{
    int32_t v = -7;
    EXPECT_EQ(CMSUP_GetCrossOverFrequency(handle, &v), 1);
    EXPECT_EQ(v, 80);
    CMSUP_GetSpkData(handle, &v);
    EXPECT_EQ(v, 0x140004);
    CMSUP_GetLargeSpeakers(handle, 0, &v);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(SimCard_Get("envMode", &v), 1);
    EXPECT_EQ(v, 28);
    EXPECT_EQ(SimCard_Get("eqGain9", &v), 1);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(SimCard_Get("eqGain10", &v), 0);
    EXPECT_EQ(SimCard_Set("volume", 3), 0);
}

TEST_F(SimCardTest, StateIsSharedWithOtherProcesses)
{
    // Preset by another process, read here through the card's own Gets.
    Simcard(L"set crossover 30");
    Simcard(L"set impedanceMode 2");
    Simcard(L"set spkData 0x140004");
    Simcard(L"set largeSpeakers 1");
    int32_t v = 0;
    CMSUP_GetCrossOverFrequency(handle, &v);
    EXPECT_EQ(v, 30);
    CMSUP_GetImpedanceMode(handle, &v);
    EXPECT_EQ(v, 2);
    CMSUP_GetSpkData(handle, &v);
    EXPECT_EQ(v, 0x140004);
    CMSUP_GetLargeSpeakers(handle, 0, &v);
    EXPECT_EQ(v, 1);

    // Set here, read by another process.
    const int32_t gains[10] = {65536, -65536, 0, 1, 2, 3, 4, 5, 6, -786432};
    CMSUP_SetEQGain(handle, gains);
    CMSUP_SetFlexBassState(handle, 1);
    CMSUP_SetSpkData(handle, 1);
    EXPECT_EQ(Simcard(L"get flexBass"), "1\n");
    EXPECT_EQ(Simcard(L"get eqGain9"), "-786432\n");
    EXPECT_EQ(Simcard(L"get eqGain1"), "-65536\n");
    EXPECT_EQ(Simcard(L"get spkData"), "1\n");

    Simcard(L"get nosuchfield", 1);
    Simcard(L"set crossover twelve", 1);
    Simcard(L"explode", 1);
}

TEST_F(SimCardTest, JournalKeepsEveryCallInOrderWithAllArguments)
{
    const int32_t gains[10] = {65536, 131072, -65536, 0, 7, 8, 9, 10, 11, -12};
    int32_t v = 0;
    CMSUP_SetEQGain(handle, gains);
    CMSUP_SetSpdifStatus(handle, 0x40);
    CMSUP_SetLargeSpeakers(handle, 0, 1);
    CMSUP_GetLargeSpeakers(handle, 0, &v);
    CMSUP_SetCrossOverFrequency(handle, 120);
    CMSUP_GetCrossOverFrequency(handle, &v);

    std::vector<SimCardCall> calls = Journal();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_STREQ(calls[0].op, "CMSUP_SetEQGain");
    EXPECT_EQ(Args(calls[0]), std::vector<int32_t>(gains, gains + 10));
    EXPECT_EQ(calls[0].handle, reinterpret_cast<intptr_t>(handle));
    EXPECT_STREQ(calls[1].op, "CMSUP_SetSpdifStatus");
    EXPECT_EQ(Args(calls[1]), std::vector<int32_t>{0x40});
    EXPECT_STREQ(calls[2].op, "CMSUP_SetLargeSpeakers");
    EXPECT_EQ(Args(calls[2]), (std::vector<int32_t>{0, 1}));
    EXPECT_STREQ(calls[3].op, "CMSUP_GetLargeSpeakers");
    EXPECT_EQ(Args(calls[3]), (std::vector<int32_t>{0, 1}));
    EXPECT_STREQ(calls[4].op, "CMSUP_SetCrossOverFrequency");
    EXPECT_STREQ(calls[5].op, "CMSUP_GetCrossOverFrequency");
    EXPECT_EQ(Args(calls[5]), std::vector<int32_t>{120});

    // Another process reads the same journal, then clears it for everyone.
    std::istringstream lines(Simcard(L"journal"));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "CMSUP_SetEQGain 65536 131072 -65536 0 7 8 9 10 11 -12");
    std::getline(lines, line);
    EXPECT_EQ(line, "CMSUP_SetSpdifStatus 64");
    Simcard(L"clear");
    EXPECT_EQ(SimCard_JournalCount(), 0);
    SimCardCall call{};
    EXPECT_EQ(SimCard_JournalEntry(0, &call), 0);
}

TEST_F(SimCardTest, GetsWriteTheirOutParameterEvenWhenTheyFail)
{
    CMSUP_SetImpedanceMode(handle, 1);
    int32_t v = 12345;
    EXPECT_EQ(CMSUP_GetImpedanceMode(nullptr, &v), 0);
    EXPECT_EQ(v, 0);
    v = 12345;
    EXPECT_EQ(CMSUP_GetFlexBassState(reinterpret_cast<CMSUP_HANDLE>(0x1234), &v), 0);
    EXPECT_EQ(v, 0);
    v = 12345;
    EXPECT_EQ(CMSUP_GetLargeSpeakers(handle, 3, &v), 0);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(CMSUP_GetSpkData(handle, nullptr), 0);

    // A Set with a bad handle changes nothing but is journalled.
    CMSUP_SetImpedanceMode(nullptr, 0);
    CMSUP_GetImpedanceMode(handle, &v);
    EXPECT_EQ(v, 1);
    std::vector<SimCardCall> calls = Journal();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_STREQ(calls[5].op, "CMSUP_SetImpedanceMode");
    EXPECT_EQ(calls[5].handle, 0);
    EXPECT_EQ(CMSUP_SetEQGain(handle, nullptr), 0);
}

TEST_F(SimCardTest, NullInterfaceLeavesTheSlotNull)
{
    ASSERT_EQ(SimCard_Set("nullInterface", 1), 1);
    CMSUP_HANDLE slot = reinterpret_cast<CMSUP_HANDLE>(0x77);
    EXPECT_EQ(CMSUP_GetInterface(&slot), 0);
    EXPECT_EQ(slot, nullptr);
    int32_t v = 5;
    EXPECT_EQ(CMSUP_GetFlexBassState(slot, &v), 0);
    EXPECT_EQ(v, 0);
    SimCard_Set("nullInterface", 0);
    EXPECT_EQ(CMSUP_GetInterface(&slot), 1);
    EXPECT_EQ(slot, handle);
}

TEST_F(SimCardTest, APowerLossGivesThePowerOnDefaultsAndTheCardRefusesEveryCallUntilItIsReady)
{
    // What a user set, and a test mode that is not the card's own state.
    const int32_t gains[10] = {65536, 0, 0, 0, 0, 0, 0, 0, 0, -65536};
    CMSUP_SetEQGain(handle, gains);
    CMSUP_SetEnvMode(handle, 5);
    CMSUP_SetSpkData(handle, 1);
    CMSUP_SetCrossOverFrequency(handle, 200);
    ASSERT_EQ(SimCard_Set("nullInterface", 0), 1);

    // A not-ready time far longer than any wait here, so the refusals below
    // are seen however slowly this machine starts the tool.
    Simcard(L"power-loss 60000"); // as another process: the machine went to sleep
    int32_t v = -1;
    const std::pair<const char*, int32_t> defaults[] = {{"eqGain0", 0},   {"eqGain9", 0},        {"envMode", 28},
                                                         {"spkData", 0x140004}, {"crossover", 80}, {"eqStatus", 0}};
    for (const auto& [field, value] : defaults) {
        ASSERT_EQ(SimCard_Get(field, &v), 1);
        EXPECT_EQ(v, value) << field;
    }

    // Not ready: every call answers 0, a Get writes 0, nothing changes, each
    // is journalled as refused.
    EXPECT_EQ(CMSUP_SetRoomSize(handle, 2), 0);
    v = 7;
    EXPECT_EQ(CMSUP_GetCrossOverFrequency(handle, &v), 0);
    EXPECT_EQ(v, 0);
    CMSUP_HANDLE slot = reinterpret_cast<CMSUP_HANDLE>(0x77);
    EXPECT_EQ(CMSUP_GetInterface(&slot), 0);
    EXPECT_EQ(slot, nullptr);
    SimCard_Get("roomSize", &v);
    EXPECT_EQ(v, 0);
    // A shorter not-ready time from now on: the first call taken comes no
    // earlier than that time after it was set.
    const ULONGLONG shortened = ::GetTickCount64();
    Simcard(L"not-ready 400");
    while (CMSUP_SetRoomSize(handle, 2) == 0)
        ASSERT_LT(::GetTickCount64() - shortened, 10000u) << "the card never became ready";
    EXPECT_GE(::GetTickCount64() - shortened, 400u);
    SimCard_Get("roomSize", &v);
    EXPECT_EQ(v, 2);

    std::vector<SimCardCall> calls = Journal();
    ASSERT_GE(calls.size(), 9u);
    EXPECT_STREQ(calls[4].op, "SimCard_PowerLoss");
    EXPECT_EQ(Args(calls[4]), std::vector<int32_t>{60000});
    EXPECT_STREQ(calls[5].op, "CMSUP_SetRoomSize");
    EXPECT_EQ(calls[5].refused, 1);
    EXPECT_EQ(calls[3].refused, 0);
    EXPECT_EQ(calls.back().refused, 0);
    std::istringstream lines(Simcard(L"journal"));
    std::string line;
    for (int i = 0; i < 6; ++i)
        std::getline(lines, line);
    EXPECT_EQ(line, "CMSUP_SetRoomSize 2 refused");

    // Not ready without a loss: the state stays.
    Simcard(L"not-ready 60000");
    EXPECT_EQ(CMSUP_SetRoomSize(handle, 1), 0);
    Simcard(L"not-ready 0");
    EXPECT_EQ(CMSUP_GetCrossOverFrequency(handle, &v), 1);
    EXPECT_EQ(v, 80);
    SimCard_Get("roomSize", &v);
    EXPECT_EQ(v, 2);
    Simcard(L"power-loss -1", 1);
}

TEST_F(SimCardTest, FullJournalDropsTheOldestCalls)
{
    const int extra = 5;
    for (int i = 0; i < SIMCARD_JOURNAL_CAPACITY + extra; ++i)
        CMSUP_SetRoomSize(handle, i);
    ASSERT_EQ(SimCard_JournalCount(), SIMCARD_JOURNAL_CAPACITY);
    SimCardCall first{};
    SimCardCall last{};
    ASSERT_EQ(SimCard_JournalEntry(0, &first), 1);
    ASSERT_EQ(SimCard_JournalEntry(SIMCARD_JOURNAL_CAPACITY - 1, &last), 1);
    EXPECT_EQ(first.args[0], extra);
    EXPECT_EQ(last.args[0], SIMCARD_JOURNAL_CAPACITY + extra - 1);
    EXPECT_EQ(SimCard_JournalEntry(SIMCARD_JOURNAL_CAPACITY, &last), 0);
    EXPECT_EQ(SimCard_JournalEntry(-1, &last), 0);
    int32_t room = 0;
    SimCard_Get("roomSize", &room);
    EXPECT_EQ(room, SIMCARD_JOURNAL_CAPACITY + extra - 1);
}

} // namespace
