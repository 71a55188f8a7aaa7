// Loads the built plug-in library by path and talks to it only through its exports and
// interface tables, exactly as a host does.
#include "HostFixture.h"
#include "support/ComTestUtil.h"
#include "tools/PluginLibrary.h"

#include <gtest/gtest.h>

#include <cstring>

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

TEST(HostLoad, ClassFactoriesServeOnlyTheirOwnInterfaces) {
    ASSERT_TRUE(Library().Loaded()) << Library().Error();
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(Library().GetClassObject(CLSID_VxSWFPlugin, IID_IVxReadFileClass, &object),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    // Any class id gives a factory; the class is checked when an instance is asked for.
    const GUID unknownClass = {0x01020304, 0x0506, 0x0708, {1, 2, 3, 4, 5, 6, 7, 8}};
    comtest::ComPtr<IClassFactory> other, factory, info;
    ASSERT_EQ(Library().GetClassObject(unknownClass, IID_IUnknown, other.outVoid()), S_OK);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(other->CreateInstance(nullptr, IID_IVxReadFileClass, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(other->QueryInterface(IID_IVxReadFile, &object), E_NOINTERFACE);

    ASSERT_EQ(Library().GetClassObject(CLSID_VxSWFPlugin, IID_IClassFactory, factory.outVoid()),
              S_OK);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &object), E_NOINTERFACE);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IVxUnsharedFIOPluginInfo, &object),
              E_NOINTERFACE);
    IVxReadFileClass* readClass = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IVxReadFileClass,
                                      reinterpret_cast<void**>(&readClass)),
              S_OK);
    EXPECT_EQ(readClass->AddRef(), 2u); // exactly the caller's reference
    EXPECT_EQ(readClass->Release(), 1u);
    ASSERT_EQ(Library().GetClassObject(CLSID_VxSWFPluginInfo, IID_IClassFactory, info.outVoid()),
              S_OK);
    EXPECT_EQ(info->CreateInstance(nullptr, IID_IVxReadFileClass, &object), E_NOINTERFACE);

    // Slot 11 is CheckFormat: only an uncompressed signature with nine bytes is taken.
    const struct {
        const char* bytes;
        int32_t length;
        HRESULT expected;
    } checks[] = {{"FWS\x06\x15\0\0\0\x50", 9, S_OK},   {"FWS\x06\x15\0\0\0", 8, E_FAIL},
                  {"CWS\x06\x15\0\0\0\x78", 9, E_FAIL}, {"FW\0\x06\x15\0\0\0\0", 9, E_FAIL},
                  {"FWS\x06\x15\0\0\0\0", -1, E_FAIL},  {nullptr, 100, E_FAIL}};
    for (const auto& c : checks)
        EXPECT_EQ((CallSlot<HRESULT>(readClass, 11, intptr_t(0), c.bytes, c.length, intptr_t(0))),
                  c.expected)
            << (c.bytes ? c.bytes : "null") << " " << c.length;
    // Each text of the description honours its own capacity.
    WCHAR title[64], pattern[8] = {u'u', u'n', u't', u'o', u'u', u'c', u'h', 0}, name[6];
    EXPECT_EQ(readClass->GetDescription(title, 64, pattern, 0, name, 6), S_OK);
    EXPECT_EQ(Narrow(title), "Open Shockwave Flash File");
    EXPECT_EQ(Narrow(pattern), "untouch");
    EXPECT_EQ(Narrow(name), "Shock");
    EXPECT_EQ(readClass->GetDescription(nullptr, 10, pattern, 8, nullptr, 0), S_OK);
    EXPECT_EQ(Narrow(pattern), "*.swf");

    // The custom interfaces are one object beside the class, sharing its count.
    comtest::ComPtr<IVx_FileCustom> custom1;
    comtest::ComPtr<IVx_FileCustom2> custom2;
    comtest::ComPtr<IUnknown> back;
    ASSERT_EQ(readClass->QueryInterface(IID_IVx_FileCustom, custom1.outVoid()), S_OK);
    ASSERT_EQ(readClass->QueryInterface(IID_IVx_FileCustom2, custom2.outVoid()), S_OK);
    EXPECT_EQ(static_cast<void*>(custom1.get()), static_cast<void*>(custom2.get()));
    EXPECT_NE(static_cast<void*>(custom1.get()), static_cast<void*>(readClass));
    ASSERT_EQ(custom2->QueryInterface(IID_IUnknown, back.outVoid()), S_OK);
    EXPECT_EQ(static_cast<void*>(back.get()), static_cast<void*>(readClass));
    EXPECT_EQ(readClass->QueryInterface(IID_IVxReadFile, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(custom2->AddRef(), 5u);
    EXPECT_EQ(custom2->Release(), 4u);
    custom1.Reset();
    custom2.Reset();
    back.Reset();
    EXPECT_EQ(readClass->Release(), 0u);
}

TEST(HostLoad, DescribesItselfThroughThePluginInformation) {
    ASSERT_TRUE(Library().Loaded()) << Library().Error();
    IVxUnsharedFIOPluginInfo* info = nullptr;
    ASSERT_EQ(Library().Create(CLSID_VxSWFPluginInfo, IID_IVxUnsharedFIOPluginInfo, &info), S_OK);
    int32_t count = -1;
    EXPECT_EQ(info->GetCount(&count), E_FAIL); // not before Init
    EXPECT_EQ(count, -1);
    EXPECT_EQ(info->GetInfo(0, nullptr, nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr),
              E_UNEXPECTED);
    EXPECT_EQ((CallSlot<HRESULT>(info, 3, 0u, 0u, 0u)), S_OK); // Init
    EXPECT_EQ(info->GetCount(nullptr), E_INVALIDARG);
    EXPECT_EQ((CallSlot<HRESULT>(info, 4, &count)), S_OK); // GetCount
    EXPECT_EQ(count, 1);

    CLSID clsid = {};
    WCHAR name[64];
    uint32_t v[8];
    std::memset(v, 0xCC, sizeof(v));
    ASSERT_EQ(
        info->GetInfo(0, &clsid, name, 64, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]),
        S_OK);
    EXPECT_EQ(clsid, CLSID_VxSWFPlugin);
    EXPECT_EQ(Narrow(name), "Morvane Shockwave Flash File Format");
    const uint32_t expected[8] = {0x30, 2, 0x0012093F, 0, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(v[i], expected[i]) << "value " << i + 1;
    EXPECT_EQ(info->Release(), 0u);
}
