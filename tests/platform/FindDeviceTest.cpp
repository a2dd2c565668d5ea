// The device lookup against the devices of the prepared machine.
#include "FindDeviceWinxp.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kCardHardwareKey =
    L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_FEED&DEV_0A17&SUBSYS_171314C3&REV_10";

TEST(FindDevice, FindsTheCardByDescriptionIgnoringCase)
{
    EXPECT_TRUE(FindDevByDeviceDesc(L"VANTIR"));
    EXPECT_TRUE(FindDevByDeviceDesc(L"vantir"));
    EXPECT_TRUE(FindDevByDeviceDesc(L"VaNtIr"));
    EXPECT_FALSE(FindDevByDeviceDesc(L"VANTI")) << "the whole description must match";
    EXPECT_FALSE(FindDevByDeviceDesc(L"VANTIR 2"));
    EXPECT_FALSE(FindDevByDeviceDesc(L""));
    EXPECT_FALSE(FindDevByDeviceDesc(nullptr));
}

TEST(FindDevice, FindsTheCardByAnInstanceIdFragment)
{
    EXPECT_TRUE(FindDevByDeviceInstanceId(L"171314C3"));
    EXPECT_TRUE(FindDevByDeviceInstanceId(L"subsys_171314c3"));
    EXPECT_TRUE(FindDevByDeviceInstanceId(L"PCI\\VEN_FEED&DEV_0A17"));
    EXPECT_TRUE(FindDevByDeviceInstanceId(L"2a5b3c1d&0&00e4"));
    EXPECT_FALSE(FindDevByDeviceInstanceId(L"171314C4"));
    EXPECT_FALSE(FindDevByDeviceInstanceId(L""));
    EXPECT_FALSE(FindDevByDeviceInstanceId(nullptr));
}

TEST(FindDevice, RemovedCardIsNotFound)
{
    {
        testsupport::RegistrySnapshot saved(kCardHardwareKey);
        testsupport::DeleteTree(kCardHardwareKey);
        EXPECT_FALSE(FindDevByDeviceDesc(L"VANTIR"));
        EXPECT_FALSE(FindDevByDeviceInstanceId(L"171314C3"));
    }
    EXPECT_TRUE(FindDevByDeviceDesc(L"VANTIR")) << "the snapshot puts the card back";
}

} // namespace
