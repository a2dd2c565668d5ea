#include "SettingsStore.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {
const std::wstring kRootPath = L"Software\\Marvolin\\VANTIR";

class SettingsStoreTest : public ::testing::Test {
protected:
    testsupport::RegistrySnapshot snapshot{kRootPath};
};

TEST_F(SettingsStoreTest, ReadsIntegersLikeTheCLibrary)
{
    testsupport::SetText(kRootPath + L"\\Hifi", L"a", L"-1");
    testsupport::SetText(kRootPath + L"\\Hifi", L"b", L" 7");
    testsupport::SetText(kRootPath + L"\\Hifi", L"c", L"abc");
    testsupport::SetText(kRootPath + L"\\Hifi", L"d", L"12xy");
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"a"), -1);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"b"), 7);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"c"), 0);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"d"), 12);
    EXPECT_EQ(ReadRegInt(kRegRoot, L"Hifi", L"missing"), 0);
}

TEST_F(SettingsStoreTest, MissingSubkeyReadsZeroAndRefusesWrites)
{
    testsupport::DeleteTree(kRootPath + L"\\CPL");
    EXPECT_EQ(ReadRegInt(kRegRoot, L"CPL", L"language"), 0);
    EXPECT_FALSE(WriteRegString(kRegRoot, L"CPL", L"language", L"2"));
    EXPECT_FALSE(testsupport::KeyExists(kRootPath + L"\\CPL"));
}

} // namespace
