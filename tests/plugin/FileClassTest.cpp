#include "plugin/CClassFactory.h"
#include "plugin/CSWFRenderFileClass.h"
#include "support/ComTestUtil.h"
#include "util/TestMetaSource.h"

#include <gtest/gtest.h>

#include <string>

using comtest::ComPtr;
using metatest::TestMetaSource;

namespace {

template <class Class> ComPtr<Class> Create(REFIID iid) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(GetClassObject(CLSID_VxSWFPlugin, IID_IClassFactory, factory.outVoid()), S_OK);
    ComPtr<Class> object;
    EXPECT_EQ(factory->CreateInstance(nullptr, iid, object.outVoid()), S_OK);
    return object;
}

const WCHAR* W(const std::u16string& text) {
    return reinterpret_cast<const WCHAR*>(text.c_str());
}

} // namespace

TEST(RenderFile, PathObjectsAndOpenState) {
    ComPtr<IVxRenderFileClass> c = Create<IVxRenderFileClass>(IID_IVxRenderFileClass);
    ComPtr<IVxRenderFileClassEx3> ex3;
    ASSERT_EQ(c->QueryInterface(IID_IVxRenderFileClassEx3, ex3.outVoid()), S_OK);
    ComPtr<IVxRenderFile> file;
    ASSERT_EQ(c->CreateRenderFileDefault(file.out(), W(u"C:\\clip.swf"), 0, 0), S_OK);
    WCHAR name[8];
    EXPECT_EQ(file->GetFileName(name, 8), S_OK);
    EXPECT_EQ(comtest::Narrow(name), "C:\\clip");
    ComPtr<IVxRenderFileClass> owner;
    ASSERT_EQ(file->GetClass(owner.out()), S_OK);
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

    EXPECT_EQ(file->Close(), S_OK);
    EXPECT_NE(file->IsClosed(), 0);
    EXPECT_EQ(file->GetObjectCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(a.refs + b.refs + source.refs, 3);
    // The last release closes the file too.
    EXPECT_EQ(file->AddObject(&a, 0), S_OK);
    file.Reset();
    EXPECT_EQ(a.refs, 1);
}
