// The class factory handed out by DllGetClassObject.
#pragma once

#include "include/VxSWFPlugin.h"
#include "platform/GlobalObject.h"

class CClassFactory final : public IClassFactory, public GlobalObject {
public:
    explicit CClassFactory(REFCLSID clsid) : clsid_(clsid) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ULONG refCount_ = 0;
    // Kept by value: a host may hand in a class id that does not outlive the call.
    CLSID clsid_;
};

// DllGetClassObject: any class id yields a factory; the class is checked when an
// instance is created.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object);
