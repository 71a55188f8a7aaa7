#include "plugin/CClassFactory.h"
#include "plugin/Module.h"
#include "support/ComTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

using comtest::ComPtr;

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
