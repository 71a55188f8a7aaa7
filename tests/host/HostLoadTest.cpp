// Loads the built plug-in library by path and talks to it only through its exports and
// interface tables, exactly as a host does.
#include "HostFixture.h"
#include "support/ComTestUtil.h"
#include "tools/PluginLibrary.h"

#include <gtest/gtest.h>

using comtest::CallSlot;
using comtest::Narrow;
using hosttest::Library;

TEST(HostLoad, ExportsTheThreeEntryPointsAndNothingElseOfOurs) {
    ASSERT_TRUE(Library().Loaded()) << Library().Error();
    EXPECT_EQ(Library().CanUnloadNow(), S_FALSE);
    Library().InitClasses(12345);
    EXPECT_EQ(Library().Symbol("GetClassObject"), nullptr);
    EXPECT_EQ(Library().Symbol("ModuleAttach"), nullptr);
    EXPECT_EQ(Library().Symbol("VxGetString"), nullptr);
}

TEST(HostLoad, ReachesCheckFormatThroughTheClassFactory) {
    ASSERT_TRUE(Library().Loaded()) << Library().Error();
    IClassFactory* factory = nullptr;
    ASSERT_EQ(Library().GetClassObject(CLSID_VxSWFPlugin, IID_IClassFactory,
                                       reinterpret_cast<void**>(&factory)),
              S_OK);
    IVxReadFileClass* readClass = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IVxReadFileClass,
                                      reinterpret_cast<void**>(&readClass)),
              S_OK);
    EXPECT_EQ(factory->Release(), 0u);

    const uint8_t movie[9] = {'F', 'W', 'S', 6, 21, 0, 0, 0, 0x50};
    const uint8_t compressed[9] = {'C', 'W', 'S', 6, 21, 0, 0, 0, 0x78};
    // Slot 11 of the table, called as a foreign host would.
    EXPECT_EQ((CallSlot<HRESULT>(readClass, 11, intptr_t(0), movie, int32_t(9), intptr_t(0))),
              S_OK);
    EXPECT_EQ((CallSlot<HRESULT>(readClass, 11, intptr_t(0), movie, int32_t(8), intptr_t(0))),
              E_FAIL);
    EXPECT_EQ(readClass->CheckFormat(0, compressed, 9, 0), E_FAIL);

    WCHAR name[64];
    EXPECT_EQ(readClass->GetDescription(nullptr, 0, nullptr, 0, name, 64), S_OK);
    EXPECT_EQ(Narrow(name), "Shockwave Flash");
    EXPECT_EQ(readClass->Release(), 0u);
}

TEST(HostLoad, DescribesItselfThroughThePluginInformation) {
    ASSERT_TRUE(Library().Loaded()) << Library().Error();
    IVxUnsharedFIOPluginInfo* info = nullptr;
    ASSERT_EQ(Library().Create(CLSID_VxSWFPluginInfo, IID_IVxUnsharedFIOPluginInfo, &info), S_OK);
    ASSERT_EQ(info->Init(0, 0, 0), S_OK);
    CLSID clsid = {};
    WCHAR name[64];
    uint32_t capabilities = 0;
    ASSERT_EQ(info->GetInfo(0, &clsid, name, 64, nullptr, nullptr, &capabilities, nullptr, nullptr,
                            nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(clsid, CLSID_VxSWFPlugin);
    EXPECT_EQ(Narrow(name), "Morvane Shockwave Flash File Format");
    EXPECT_EQ(capabilities, 0x0012093Fu);
    EXPECT_EQ(info->Release(), 0u);
}
