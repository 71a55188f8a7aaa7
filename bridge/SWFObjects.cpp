// The private creation function: the one way the plug-in makes its movie objects, render
// contexts and rasters.
#include "bridge/CVxSWFRaster.h"
#include "bridge/VxSWFPrivate.h"

#include <new>

HRESULT CreateSWFObject(IUnknown* outer, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (riid == IID_IVxSWFRaster) {
        auto* raster = new (std::nothrow) CVxSWFRaster();
        if (!raster) return E_OUTOFMEMORY;
        *object = static_cast<IVxSWFRaster*>(raster);
        return S_OK;
    }
    return E_NOINTERFACE;
}
