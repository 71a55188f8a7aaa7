// Loads the plug-in library by path and finds its entry points, as a host does.
#pragma once

#include "include/VxSWFPlugin.h"

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

class PluginLibrary {
public:
    explicit PluginLibrary(const std::string& path) {
#ifdef _WIN32
        handle_ = LoadLibraryA(path.c_str());
#else
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
        if (!handle_) return;
        getClassObject_ = reinterpret_cast<PFN_DllGetClassObject>(Symbol("DllGetClassObject"));
        canUnloadNow_ = reinterpret_cast<PFN_DllCanUnloadNow>(Symbol("DllCanUnloadNow"));
        initClasses_ = reinterpret_cast<PFN_DllInitClasses>(Symbol("DllInitClasses"));
    }
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;
    // The library stays loaded, as DllCanUnloadNow asks.

    bool Loaded() const {
        return getClassObject_ && canUnloadNow_ && initClasses_;
    }
    std::string Error() const {
#ifdef _WIN32
        return "cannot load the plug-in library";
#else
        const char* text = dlerror();
        return text ? text : "the plug-in library lacks its entry points";
#endif
    }

    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) const {
        return getClassObject_(clsid, iid, object);
    }
    HRESULT CanUnloadNow() const {
        return canUnloadNow_();
    }
    void InitClasses(uint32_t value) const {
        initClasses_(value);
    }
    void* Symbol(const char* name) const {
#ifdef _WIN32
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
        return dlsym(handle_, name);
#endif
    }

    // Creates an instance of `clsid` through its class factory.
    template <class T> HRESULT Create(REFCLSID clsid, REFIID iid, T** object) const {
        *object = nullptr;
        IClassFactory* factory = nullptr;
        HRESULT hr = GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
        if (FAILED(hr)) return hr;
        hr = factory->CreateInstance(nullptr, iid, reinterpret_cast<void**>(object));
        factory->Release();
        return hr;
    }

private:
    void* handle_ = nullptr;
    PFN_DllGetClassObject getClassObject_ = nullptr;
    PFN_DllCanUnloadNow canUnloadNow_ = nullptr;
    PFN_DllInitClasses initClasses_ = nullptr;
};
