// The class factory, the plug-in information object and the read-file class, reached
// as a host reaches them.
#include "plugin/CClassFactory.h"
#include "plugin/Module.h"
#include "support/ComTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

using comtest::CallSlot;
using comtest::ComPtr;
using comtest::Narrow;

namespace {

const GUID kUnknownClass = {0x01020304, 0x0506, 0x0708, {1, 2, 3, 4, 5, 6, 7, 8}};

ComPtr<IClassFactory> Factory(REFCLSID clsid) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(GetClassObject(clsid, IID_IClassFactory, factory.outVoid()), S_OK);
    return factory;
}

ComPtr<IVxUnsharedFIOPluginInfo> PluginInfo() {
    ComPtr<IVxUnsharedFIOPluginInfo> info;
    EXPECT_EQ(Factory(CLSID_VxSWFPluginInfo)
                  ->CreateInstance(nullptr, IID_IVxUnsharedFIOPluginInfo, info.outVoid()),
              S_OK);
    return info;
}

} // namespace

TEST(ClassFactory, AcceptsOnlyFactoryInterfacesAndAnyClassId) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(GetClassObject(CLSID_VxSWFPlugin, IID_IVxReadFileClass, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    ComPtr<IUnknown> unknown;
    EXPECT_EQ(GetClassObject(kUnknownClass, IID_IUnknown, unknown.outVoid()), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(unknown->QueryInterface(IID_IClassFactory, factory.outVoid()), S_OK);
    // The class is checked only when an instance is asked for.
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IVxReadFileClass, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->QueryInterface(IID_IVxReadFile, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
}

TEST(ClassFactory, PluginClassServesOnlyTheClassInterfaces) {
    ComPtr<IClassFactory> factory = Factory(CLSID_VxSWFPlugin);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IVxUnsharedFIOPluginInfo, &object),
              E_NOINTERFACE);
    ComPtr<IVxReadFileClass> readClass;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IVxReadFileClass, readClass.outVoid()), S_OK);
    // The new object carries exactly the caller's reference.
    EXPECT_EQ(readClass->AddRef(), 2u);
    EXPECT_EQ(readClass->Release(), 1u);

    // The information class answers only its own interface.
    ComPtr<IClassFactory> infoFactory = Factory(CLSID_VxSWFPluginInfo);
    EXPECT_EQ(infoFactory->CreateInstance(nullptr, IID_IVxReadFileClass, &object), E_NOINTERFACE);
}

TEST(PluginInfo, RefusesUseBeforeInit) {
    ComPtr<IVxUnsharedFIOPluginInfo> info = PluginInfo();
    int32_t count = -1;
    EXPECT_EQ(info->GetCount(&count), E_FAIL);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(info->GetInfo(0, nullptr, nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr),
              E_UNEXPECTED);
    EXPECT_EQ(info->Init(7, 8, 9), S_OK);
    EXPECT_EQ(info->GetCount(nullptr), E_INVALIDARG);
    EXPECT_EQ(info->GetCount(&count), S_OK);
    EXPECT_EQ(count, 1);
}

TEST(PluginInfo, ReportsTheDescriptionRow) {
    ComPtr<IVxUnsharedFIOPluginInfo> info = PluginInfo();
    ASSERT_EQ(info->Init(0, 0, 0), S_OK);
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

    EXPECT_EQ(
        info->GetInfo(1, &clsid, name, 64, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]),
        E_INVALIDARG);
    EXPECT_EQ(info->GetInfo(-1, nullptr, nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr),
              E_INVALIDARG);
    // Every output may be left out.
    EXPECT_EQ(info->GetInfo(0, nullptr, nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr),
              S_OK);
    // A capacity of 1 gives an empty, terminated name.
    name[0] = u'x';
    name[1] = u'y';
    EXPECT_EQ(info->GetInfo(0, nullptr, name, 1, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(name[0], 0);
    EXPECT_EQ(name[1], u'y');
}
