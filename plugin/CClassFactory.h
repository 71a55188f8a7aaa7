// The class factory handed out by DllGetClassObject.
#pragma once

#include "platform/ComObject.h"
#include "include/VxSWFPlugin.h"

class CClassFactory final : public ComObject<CClassFactory, PlainCount, IClassFactory> {
public:
    explicit CClassFactory(REFCLSID clsid) : clsid_(clsid) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    friend ComObject;
    void* FindInterface(REFIID riid);

    // Kept by value: a host may hand in a class id that does not outlive the call.
    CLSID clsid_;
};

// DllGetClassObject: any class id yields a factory; the class is checked when an
// instance is created.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object);
