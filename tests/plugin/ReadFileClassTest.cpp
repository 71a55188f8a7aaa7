#include "plugin/CClassFactory.h"
#include "plugin/Module.h"
#include "support/ComTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

using comtest::CallSlot;
using comtest::ComPtr;
using comtest::Narrow;

namespace {

ComPtr<IVxReadFileClass> ReadFileClass() {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(GetClassObject(CLSID_VxSWFPlugin, IID_IClassFactory, factory.outVoid()), S_OK);
    ComPtr<IVxReadFileClass> readClass;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IVxReadFileClass, readClass.outVoid()), S_OK);
    return readClass;
}

// A host callback that records the identifier it was asked about.
class HostCallback : public IVxReadHostCallback {
public:
    HRESULT answer = S_OK;
    int released = 0;
    GUID askedId = {0xFFFFFFFF, 0, 0, {}};

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(++released); }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved8() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved9() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved10() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved11() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved12() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved13() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved14() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryValue(uint32_t* value, const GUID* id) override {
        askedId = *id;
        *value = 77;
        return answer;
    }
};

} // namespace

TEST(ReadFileClass, InterfacesShareOneObject) {
    ComPtr<IVxReadFileClass> c = ReadFileClass();
    ComPtr<IVx_FileCustom> custom1;
    ComPtr<IVx_FileCustom2> custom2;
    ASSERT_EQ(c->QueryInterface(IID_IVx_FileCustom, custom1.outVoid()), S_OK);
    ASSERT_EQ(c->QueryInterface(IID_IVx_FileCustom2, custom2.outVoid()), S_OK);
    EXPECT_EQ(static_cast<void*>(custom1.get()), static_cast<void*>(custom2.get()));
    EXPECT_NE(static_cast<void*>(custom1.get()), static_cast<void*>(c.get()));
    ComPtr<IVxReadFileClass> back;
    ASSERT_EQ(custom2->QueryInterface(IID_IUnknown, back.outVoid()), S_OK);
    EXPECT_EQ(back.get(), c.get());
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(c->QueryInterface(IID_IVxReadFile, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    // One count serves every table.
    EXPECT_EQ(custom2->AddRef(), 5u);
    EXPECT_EQ(c->Release(), 4u);
}

TEST(ReadFileClass, DescriptionHonoursEachCapacity) {
    ComPtr<IVxReadFileClass> c = ReadFileClass();
    WCHAR title[64], pattern[8] = {u'u', u'n', u't', u'o', u'u', u'c', u'h', 0}, name[6];
    EXPECT_EQ(c->GetDescription(title, 64, pattern, 0, name, 6), S_OK);
    EXPECT_EQ(Narrow(title), "Open Shockwave Flash File");
    EXPECT_EQ(Narrow(pattern), "untouch");
    EXPECT_EQ(Narrow(name), "Shock");
    EXPECT_EQ(c->GetDescription(nullptr, 10, pattern, 8, nullptr, 0), S_OK);
    EXPECT_EQ(Narrow(pattern), "*.swf");
}

TEST(ReadFileClass, QueryHostGoesThroughTheCallback) {
    ComPtr<IVxReadFileClass> c = ReadFileClass();
    uint32_t value = 5;
    EXPECT_EQ(c->QueryHost(nullptr), E_POINTER);
    EXPECT_EQ(c->QueryHost(&value), VX_E_NOCALLBACK);

    HostCallback first, second;
    EXPECT_EQ(c->SetHostCallback(&first), S_OK);
    EXPECT_EQ(c->QueryHost(&value), S_OK);
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(first.askedId, GUID{});
    first.answer = E_FAIL;
    EXPECT_EQ(c->QueryHost(&value), E_FAIL);
    EXPECT_EQ(value, 0u);

    // A new callback releases the old one; the new one is not AddRef'ed.
    EXPECT_EQ(c->SetHostCallback(&second), S_OK);
    EXPECT_EQ(first.released, 1);
    EXPECT_EQ(c->SetHostCallback(nullptr), S_OK);
    EXPECT_EQ(second.released, 1);
    EXPECT_EQ(c->QueryHost(&value), VX_E_NOCALLBACK);
}
