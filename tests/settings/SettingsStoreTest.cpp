#include "ComboBox.h"
#include "SettingsStore.h"
#include "StoreFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <set>

namespace {

using SettingsStoreTest = StoreFixture;

TEST_F(SettingsStoreTest, ReadsIntegersLikeTheCLibrary)
{
    const std::wstring hifi = kRootPath + L"\\Hifi";
    testsupport::SetText(hifi, L"a", L"-1");
    testsupport::SetText(hifi, L"b", L" 7");
    testsupport::SetText(hifi, L"c", L"abc");
    testsupport::SetText(hifi, L"d", L"12xy");
    testsupport::SetText(hifi, L"e", L"\t +5");
    testsupport::SetText(hifi, L"f", L"- 3");
    testsupport::SetText(hifi, L"g", L"");
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"a"), -1);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"b"), 7);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"c"), 0);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"d"), 12);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"e"), 5);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"f"), 0);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"g"), 0);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"missing"), 0);
}

TEST_F(SettingsStoreTest, OutOfRangeNumbersSaturate)
{
    EXPECT_EQ(ParseRegInt(L"2147483647"), INT_MAX);
    EXPECT_EQ(ParseRegInt(L"-2147483648"), INT_MIN);
    EXPECT_EQ(ParseRegInt(L"99999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseRegInt(L"-99999999999999999999999"), INT_MIN);
}

TEST_F(SettingsStoreTest, MissingSubkeyReadsZeroAndRefusesWrites)
{
    testsupport::DeleteTree(kRootPath + L"\\CPL");
    EXPECT_EQ(ReadRegInt(kRegRoot, L"CPL", L"language"), 0);
    EXPECT_EQ(ReadRegString(kRegRoot, L"CPL", L"language"), L"");
    EXPECT_FALSE(WriteRegString(kRegRoot, L"CPL", L"language", L"2"));
    EXPECT_FALSE(testsupport::KeyExists(kRootPath + L"\\CPL"));
}

TEST_F(SettingsStoreTest, WritesWholeTextAsText)
{
    const std::wstring longText(1500, L'x');
    EXPECT_TRUE(WriteRegString(kRegRoot, L"CPL", L"language", L"2"));
    EXPECT_TRUE(WriteRegString(kRegRoot, L"Info", L"long", longText));
    std::wstring stored;
    ASSERT_TRUE(testsupport::GetText(kRootPath + L"\\CPL", L"language", &stored));
    EXPECT_EQ(stored, L"2");
    ASSERT_TRUE(testsupport::GetText(kRootPath + L"\\Info", L"long", &stored));
    EXPECT_EQ(stored, longText);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"CPL", L"language"), 2);
}

TEST_F(SettingsStoreTest, HifiSubkeyNameIgnoresCase)
{
    EXPECT_TRUE(WriteRegString(kRegRoot, L"hifi", L"Bass", L"-4"));
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"Bass"), -4);
    EXPECT_TRUE(WriteRegString(kRegRoot, L"Hifi", L"Treble", L"9"));
    EXPECT_EQ(ReadRegInt(kRegRoot, L"hifi", L"Treble"), 9);
    EXPECT_EQ(ReadRegString(kRegRoot, L"HIFI", L"Treble"), L"9");
}

TEST_F(SettingsStoreTest, OverlongTextsAreCutAtTheReadersLimits)
{
    const std::wstring info = kRootPath + L"\\Info";
    std::wstring huge;
    for (int i = 0; i < 5000; ++i)
        huge += static_cast<wchar_t>(L'a' + i % 26);
    testsupport::SetText(info, L"DriverVer", huge);
    EXPECT_EQ(ReadRegString(kRegRoot, L"Info", L"DriverVer"), huge.substr(0, 1000));

    // The integer reader sees only the first 100 characters: 99 blanks and
    // the first digit of 42.
    testsupport::SetText(info, L"n", std::wstring(99, L' ') + L"42");
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Info", L"n"), 4);
    testsupport::SetText(info, L"m", std::wstring(150, L' ') + L"42");
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Info", L"m"), 0);
}

TEST_F(SettingsStoreTest, TextEndsAtItsFirstNull)
{
    const wchar_t text[] = L"6.0\0junk";
    SetRaw(kRootPath + L"\\Info", L"CPLVer", REG_SZ, text, sizeof text);
    EXPECT_EQ(ReadRegString(kRegRoot, L"Info", L"CPLVer"), L"6.0");

    // A text stored without its terminating null is still read whole and safely.
    const wchar_t bare[] = {L'1', L'2', L'3'};
    SetRaw(kRootPath + L"\\Info", L"bare", REG_SZ, bare, sizeof bare);
    EXPECT_EQ(ReadRegString(kRegRoot, L"Info", L"bare"), L"123");
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Info", L"bare"), 123);
}

TEST_F(SettingsStoreTest, ValuesOfAnotherTypeReadAsMissing)
{
    const std::wstring cpl = kRootPath + L"\\CPL";
    DWORD two = 2;
    SetRaw(cpl, L"language", REG_DWORD, &two, sizeof two);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"CPL", L"language"), 0);
    EXPECT_EQ(ReadRegString(kRegRoot, L"CPL", L"language"), L"");

    const wchar_t seven[] = L"7";
    SetRaw(cpl, L"binary", REG_BINARY, seven, sizeof seven);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"CPL", L"binary"), 0);
    SetRaw(cpl, L"odd", REG_SZ, "7", 1); // an odd byte count is not a whole character
    EXPECT_EQ(ReadRegInt(kRegRoot, L"CPL", L"odd"), 0);
}

TEST_F(SettingsStoreTest, CustomPresetKeysAreCreatedAndDeleted)
{
    const std::wstring preset = kRootPath + L"\\Custom\\My Hall";
    testsupport::DeleteTree(kRootPath + L"\\Custom");
    CreateRegString(kRegCustomRoot, L"My Hall", L"eq_3", L"-65536");
    CreateRegString(kRegCustomRoot, L"My Hall", L"flag", L"1");
    EXPECT_EQ(ReadRegInt(kRegCustomRoot, L"My Hall", L"eq_3"), -65536);
    CreateRegString(kRegCustomRoot, L"My Hall", L"flag", L"0");
    EXPECT_EQ(ReadRegInt(kRegCustomRoot, L"My Hall", L"flag"), 0);

    DeleteRegKey(kRegCustomRoot, L"My Hall");
    EXPECT_FALSE(testsupport::KeyExists(preset));
    EXPECT_TRUE(testsupport::KeyExists(kRootPath + L"\\Custom"));
    DeleteRegKey(kRegCustomRoot, L"My Hall"); // already gone: nothing happens

    // Only keys without subkeys are deleted.
    testsupport::CreateKey(kRootPath + L"\\Custom\\Outer\\Inner");
    DeleteRegKey(kRegCustomRoot, L"Outer");
    EXPECT_TRUE(testsupport::KeyExists(kRootPath + L"\\Custom\\Outer\\Inner"));
}

class ComboWindow {
public:
    ComboWindow()
    {
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
        HWND box = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 150, 150, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(1040)), nullptr, nullptr);
        if (box)
            combo.SubclassDlgItem(1040, parent);
    }
    ~ComboWindow()
    {
        combo.UnsubclassWindow();
        ::DestroyWindow(parent);
    }
    std::set<std::wstring> Items() const
    {
        std::set<std::wstring> items;
        for (int i = 0; i < combo.GetCount(); ++i)
            items.insert(combo.GetLBText(i));
        return items;
    }

    HWND parent = nullptr;
    CComboBox combo;
};

TEST_F(SettingsStoreTest, ComboListsExactlyTheSubkeys)
{
    ComboWindow window;
    ASSERT_NE(window.combo.GetSafeHwnd(), nullptr);
    window.combo.AddString(L"stale");

    testsupport::DeleteTree(kRootPath + L"\\Custom");
    testsupport::CreateKey(kRootPath + L"\\Custom");
    FillComboWithSubkeys(window.combo, kRegCustomRoot);
    EXPECT_EQ(window.combo.GetCount(), 0);

    testsupport::CreateKey(kRootPath + L"\\Custom\\Rock");
    testsupport::CreateKey(kRootPath + L"\\Custom\\Jazz");
    testsupport::CreateKey(kRootPath + L"\\Custom\\\x591c\x66f2"); // a Chinese name
    FillComboWithSubkeys(window.combo, kRegCustomRoot);
    EXPECT_EQ(window.Items(), (std::set<std::wstring>{L"Rock", L"Jazz", L"\x591c\x66f2"}));
    FillComboWithSubkeys(window.combo, kRegCustomRoot);
    EXPECT_EQ(window.combo.GetCount(), 3) << "filling twice must not duplicate";

    // A key that is gone leaves the list empty rather than showing old names.
    testsupport::DeleteTree(kRootPath + L"\\Custom");
    FillComboWithSubkeys(window.combo, kRegCustomRoot);
    EXPECT_EQ(window.combo.GetCount(), 0);
}

// CPL.ini beside the test program, put back as it was afterwards.
class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = testsupport::ProgramFolder() + L"\\CPL.ini";
        backup = path + L".saved";
        hadFile = ::MoveFileExW(path.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    void TearDown() override
    {
        ::DeleteFileW(path.c_str());
        if (hadFile)
            ::MoveFileExW(backup.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    void Write(const char* text)
    {
        FILE* f = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(f, nullptr);
        fputs(text, f);
        fclose(f);
    }

    std::wstring path;
    std::wstring backup;
    bool hadFile = false;
};

TEST_F(IniFileTest, ReadsKeysBesideTheProgramAndMinusOneWhenAbsent)
{
    EXPECT_EQ(ReadIniInt(L"CPL.ini", L"Hifi", L"RoomSize"), -1) << "no file";

    Write("[Hifi]\r\nRoomSize=2\r\nEnvironment=-5\r\n[Other]\r\nBass=3\r\n");
    EXPECT_EQ(ReadIniInt(L"CPL.ini", L"Hifi", L"RoomSize"), 2);
    EXPECT_EQ(ReadIniInt(L"CPL.ini", L"Hifi", L"Environment"), -5);
    EXPECT_EQ(ReadIniInt(L"CPL.ini", L"Hifi", L"Bass"), -1) << "key of another section";
    EXPECT_EQ(ReadIniInt(L"CPL.ini", L"Digital", L"RoomSize"), -1) << "absent section";
    EXPECT_EQ(ReadIniInt(L"Other.ini", L"Hifi", L"RoomSize"), -1) << "absent file";
}

TEST(IniFilePath, IsTheProgramFolderOrTheRootWithoutABackslash)
{
    EXPECT_EQ(IniFilePath(L"C:\\Program Files\\Zephrin\\Zephrin.exe", L"CPL.ini"),
              L"C:\\Program Files\\Zephrin\\CPL.ini");
    EXPECT_EQ(IniFilePath(L"Zephrin.exe", L"CPL.ini"), L"\\CPL.ini");
}

} // namespace
