// The private creation function: the one way the plug-in makes its movie objects, render
// contexts and rasters.
#include "bridge/CSWFFlashScript.h"
#include "bridge/CSWFRenderContext.h"
#include "bridge/CVxSWFRaster.h"
#include "bridge/VxSWFPrivate.h"

#include <new>

HRESULT CreateSWFObject(IUnknown* outer, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    try {
        if (riid == IID_IVxSWFFlashScript) {
            *object = static_cast<IVxSWFFlashScript*>(new CSWFFlashScript());
        } else if (riid == IID_IVxSWFRaster) {
            *object = static_cast<IVxSWFRaster*>(new CVxSWFRaster());
        } else if (riid == IID_IVxSWFRenderContext) {
            *object = static_cast<IVxSWFRenderContext*>(new CSWFRenderContext());
        } else {
            return E_NOINTERFACE;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}
