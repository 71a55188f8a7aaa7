#include "plugin/CClassFactory.h"

#include "plugin/CSWFReadFileClass.h"
#include "plugin/CSWFRenderFileClass.h"
#include "plugin/CVxUnsharedFIOPluginInfo.h"
#include "plugin/Module.h"

namespace {

HRESULT CreateReadFileClass(REFIID riid, void** object) {
    auto* instance = new (std::nothrow) CSWFReadFileClass();
    if (!instance) return E_OUTOFMEMORY;
    const HRESULT hr = instance->QueryInterface(riid, object);
    if (FAILED(hr)) delete instance;
    return hr;
}

// The render-file class is born holding one reference, dropped once the query has its own.
HRESULT CreateRenderFileClass(REFIID riid, void** object) {
    auto* instance = new (std::nothrow) CSWFRenderFileClass();
    if (!instance) return E_OUTOFMEMORY;
    const HRESULT hr = instance->QueryInterface(riid, object);
    instance->Release();
    return hr;
}

HRESULT CreatePluginInfo(void** object) {
    auto* instance = new (std::nothrow) CVxUnsharedFIOPluginInfo();
    if (!instance) return E_OUTOFMEMORY;
    instance->AddRef();
    *object = static_cast<IVxUnsharedFIOPluginInfo*>(instance);
    return S_OK;
}

} // namespace

void* CClassFactory::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) return static_cast<IClassFactory*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CClassFactory::CreateInstance(IUnknown*, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (clsid_ == CLSID_VxSWFPlugin) {
        if (riid == IID_IVxReadFileClass) return CreateReadFileClass(riid, object);
        if (riid == IID_IVxRenderFileClass) return CreateRenderFileClass(riid, object);
        return E_NOINTERFACE;
    }
    if (clsid_ == CLSID_VxSWFPluginInfo && riid == IID_IVxUnsharedFIOPluginInfo)
        return CreatePluginInfo(object);
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CClassFactory::LockServer(BOOL lock) {
    ModuleState& m = Module();
    if (lock)
        ++m.serverLocks;
    else
        --m.serverLocks;
    return S_OK;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    auto* factory = new (std::nothrow) CClassFactory(clsid);
    if (!factory) return E_OUTOFMEMORY;
    factory->AddRef();
    *object = static_cast<IClassFactory*>(factory);
    return S_OK;
}
