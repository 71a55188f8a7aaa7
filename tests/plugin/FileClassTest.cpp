#include "plugin/CClassFactory.h"
#include "plugin/CSWFReadMeta.h"
#include "plugin/CSWFRenderFileClass.h"
#include "plugin/Module.h"
#include "support/ComTestUtil.h"
#include "util/TestMetaSource.h"
#include "util/VxFMMeta.h"
#include "util/VxHelp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using comtest::CallSlot;
using comtest::ComPtr;
using metatest::TestMetaSource;
using metatest::U;

namespace {

template <class Class> ComPtr<Class> Create(REFIID iid) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(GetClassObject(CLSID_VxSWFPlugin, IID_IClassFactory, factory.outVoid()), S_OK);
    ComPtr<Class> object;
    EXPECT_EQ(factory->CreateInstance(nullptr, iid, object.outVoid()), S_OK);
    return object;
}

// The slots a test double never serves.
template <class Interface> struct Unserved : Interface {
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
};

const WCHAR* W(const std::u16string& text) {
    return reinterpret_cast<const WCHAR*>(text.c_str());
}

// The host object: settings (language) and the preset receiver in slot 14.
class FakeHost : public Unserved<IVxRenderHost>, public IVxHostSettings {
public:
    uint32_t language = 0x0407;
    int32_t hasLanguage = 1;
    HRESULT queryAnswer = S_OK;
    uint32_t presetValue = 0;
    GUID presetId = {};
    LONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object = nullptr;
        if (riid != IID_IVxHostSettings || FAILED(queryAnswer)) return E_NOINTERFACE;
        *object = static_cast<IVxHostSettings*>(this);
        AddRef();
        return queryAnswer;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }
    // Slots 3 to 6 of both interfaces.
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReceivePresetId(uint32_t value, const GUID* id) override {
        presetValue = value;
        presetId = *id;
        return 0x00000005;
    }
    int32_t STDMETHODCALLTYPE GetSetting(uint32_t code, void* value, uint32_t size) override {
        if (code != 10001 || size != 4) return 0;
        std::memcpy(value, &language, 4);
        return hasLanguage;
    }
};

// A host callback that records the identifier it was asked about.
class HostCallback : public Unserved<IVxReadHostCallback> {
public:
    HRESULT answer = S_OK;
    int released = 0;
    GUID askedId = {0xFFFFFFFF, 0, 0, {}};

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(++released); }
    HRESULT STDMETHODCALLTYPE Reserved14() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryValue(uint32_t* value, const GUID* id) override {
        askedId = *id;
        *value = 77;
        return answer;
    }
};

} // namespace

TEST(RenderFileClass, IdentifiersHostAndItsLanguage) {
    ComPtr<IVxRenderFileClass> c = Create<IVxRenderFileClass>(IID_IVxRenderFileClass);
    GUID id = {};
    ASSERT_EQ(c->GetTemplateId(&id), S_OK);
    EXPECT_EQ(id,
              (GUID{0x888ECE2B, 0x0FDE, 0x4485, {0xB1, 0x62, 0x79, 0xFD, 0x79, 0x53, 0x1A, 0x6F}}));
    EXPECT_EQ(c->GetTemplateId(nullptr), E_POINTER);

    if (!Module().language) VxLang_Open(nullptr, &Module().language);
    VXLANG language = Module().language;
    VxLang_UpdateKernelLCID(language, 0x0409, 1);
    EXPECT_EQ(c->SendPresetId(3), E_NOINTERFACE);
    FakeHost host;
    IUnknown* asHost = static_cast<IVxRenderHost*>(&host);
    host.queryAnswer = E_NOINTERFACE; // no settings: the language is left alone
    EXPECT_EQ(c->SetHost(asHost), E_NOINTERFACE);
    EXPECT_EQ(VxLang_GetLCID(language), 0x0409u);
    EXPECT_EQ(c->SendPresetId(3), 5);
    EXPECT_EQ(host.presetValue, 3u);
    EXPECT_EQ(host.presetId,
              (GUID{0x45AD2188, 0xC037, 0x4D34, {0x98, 0x83, 0x14, 0xD8, 0xE1, 0xFD, 0xE0, 0x36}}));
    ComPtr<IUnknown> held;
    ASSERT_EQ(c->GetHost(held.out()), S_OK);
    EXPECT_EQ(held.get(), asHost);
    EXPECT_EQ(host.refs, 2);
    held.Reset();
    EXPECT_EQ(c->GetHost(nullptr), E_POINTER);

    host.queryAnswer = S_OK;
    host.hasLanguage = 0; // the host has no language setting
    EXPECT_EQ(c->SetHost(asHost), S_OK);
    EXPECT_EQ(VxLang_GetLCID(language), 0x0409u);
    host.hasLanguage = 1;
    EXPECT_EQ(c->SetHost(asHost), S_OK);
    EXPECT_EQ(VxLang_GetLCID(language), 0x0407u);
    EXPECT_NE(comtest::Narrow(VxHelp_GetHelpFilePath(0)).find("0407"), std::string::npos);
    EXPECT_EQ(host.refs, 1); // the settings interface was released
    EXPECT_EQ(c->SetHost(nullptr), S_OK);
    EXPECT_EQ(c->GetHost(held.out()), E_NOINTERFACE);
    EXPECT_FALSE(held);
    EXPECT_EQ(host.refs, 1);
    VxLang_UpdateKernelLCID(language, 0x0409, 1);
    RegisterHelpPaths();
}

TEST(RenderFile, PathObjectsOpenStateAndStreamRecords) {
    ComPtr<IVxRenderFileClass> c = Create<IVxRenderFileClass>(IID_IVxRenderFileClass);
    ComPtr<IVxRenderFileClassEx3> ex3;
    ASSERT_EQ(c->QueryInterface(IID_IVxRenderFileClassEx3, ex3.outVoid()), S_OK);
    EXPECT_EQ(ex3->CreateRenderFile(nullptr, W(u"a.swf"), 0, 0, 0), E_OUTOFMEMORY);
    ComPtr<IVxRenderFile> file;
    ASSERT_EQ(c->CreateRenderFileDefault(file.out(), W(u"C:\\clip.swf"), 0, 0), S_OK);
    WCHAR name[8];
    EXPECT_EQ(file->GetFileName(name, 8), S_OK);
    EXPECT_EQ(comtest::Narrow(name), "C:\\clip");
    ComPtr<IVxRenderFileClass> owner;
    ASSERT_EQ(file->GetClass(owner.out()), S_OK);
    EXPECT_EQ(owner.get(), c.get());
    ASSERT_EQ(file->GetClassStrict(owner.out()), S_OK);
    EXPECT_EQ(owner.get(), c.get());

    EXPECT_NE(file->IsClosed(), 0);
    EXPECT_EQ(file->Open(0, 0), S_OK);
    EXPECT_EQ(file->IsClosed(), 0);
    TestMetaSource a, b, source; // count their references
    EXPECT_EQ(file->AddObject(&a, 0), S_OK);
    EXPECT_EQ(file->AddObject(&b, 0), S_OK);
    EXPECT_EQ(file->AddObject(nullptr, 0), E_POINTER);
    int32_t count = 0;
    EXPECT_EQ(file->GetObjectCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(a.refs + b.refs, 4);
    EXPECT_EQ(file->SetMetaSource(&source), S_OK);
    EXPECT_EQ(source.refs, 2);

    // Stream records are copied and bounds-checked.
    VxStreamRecord records[2] = {}, out[2] = {};
    records[0].streamType = 2;
    records[1].frameCount = 42;
    ASSERT_EQ(file->SetStreamRecords(records, 2), S_OK);
    records[0].streamType = 0;
    EXPECT_EQ(file->GetStreamRecords(out, 0, 2), S_OK);
    EXPECT_EQ(out[0].streamType, 2u);
    EXPECT_EQ(out[1].frameCount, 42);
    EXPECT_EQ(file->GetStreamRecords(out, 1, 1), S_OK);
    for (auto [first, n] : {std::pair{2, 0}, {1, 2}, {-1, 1}})
        EXPECT_EQ(file->GetStreamRecords(out, first, n), E_INVALIDARG) << first << " " << n;
    EXPECT_EQ(file->SetStreamRecords(nullptr, 1), E_INVALIDARG);

    EXPECT_EQ(file->Close(), S_OK);
    EXPECT_NE(file->IsClosed(), 0);
    EXPECT_EQ(file->GetObjectCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(a.refs + b.refs + source.refs, 3);
    EXPECT_EQ(file->GetStreamRecords(out, 0, 1), E_INVALIDARG);
    // The last release closes the file too.
    EXPECT_EQ(file->AddObject(&a, 0), S_OK);
    file.Reset();
    EXPECT_EQ(a.refs, 1);
    for (int slot : {13, 14, 19, 20}) {
        ASSERT_EQ(ex3->CreateRenderFile(file.out(), W(u"x"), 0, 0, 4), S_OK);
        EXPECT_EQ(CallSlot<HRESULT>(file.get(), slot), E_NOTIMPL) << slot;
    }
}

TEST(ReadFileClass, QueryHostGoesThroughTheCallback) {
    ComPtr<IVxReadFileClass> c = Create<IVxReadFileClass>(IID_IVxReadFileClass);
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
