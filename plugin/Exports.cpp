// The library's exported entry points and its load and unload hooks.
#include "plugin/CClassFactory.h"
#include "plugin/Module.h"

#ifdef _WIN32
#define SWF_EXPORT
#else
#define SWF_EXPORT __attribute__((visibility("default")))
#endif

extern "C" SWF_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid,
                                                                  void** object) {
    return GetClassObject(clsid, riid, object);
}

// The library stays loaded for the life of the host.
extern "C" SWF_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    return S_FALSE;
}

extern "C" SWF_EXPORT void STDMETHODCALLTYPE DllInitClasses(uint32_t) {}

#ifdef _WIN32

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) return ModuleAttach(instance) ? TRUE : FALSE;
    if (reason == DLL_PROCESS_DETACH) ModuleDetach();
    return TRUE;
}

#else

namespace {

// Any address inside the library serves as its module handle.
__attribute__((constructor)) void OnProcessAttach() {
    ModuleAttach(reinterpret_cast<HMODULE>(&OnProcessAttach));
}

__attribute__((destructor)) void OnProcessDetach() {
    ModuleDetach();
}

} // namespace

#endif
