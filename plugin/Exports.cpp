// The library's three exported entry points (placeholder until the class factory lands).
#include "platform/Win32.h"

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID, REFIID,
                                                                            void** object) {
    if (object) *object = nullptr;
    return E_NOINTERFACE;
}
extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() { return S_FALSE; }
extern "C" __attribute__((visibility("default"))) void DllInitClasses(uint32_t) {}
