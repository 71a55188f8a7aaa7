#include "plugin/CVxUnsharedFIOPluginInfo.h"

#include "plugin/Module.h"
#include "util/VxLang.h"

const PluginDescription kPluginDescriptions[1] = {
    {&CLSID_VxSWFPlugin, IDS_PLUGIN_NAME, IDS_FORMAT_NAME, IDS_FILE_PATTERN, 0x30, 2, 0x0012093F, 0,
     0, 0, 0},
};

namespace {

template <class T> void Put(T* out, T value) {
    if (out) *out = value;
}

} // namespace

void* CVxUnsharedFIOPluginInfo::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IVxUnsharedFIOPluginInfo)
        return static_cast<IVxUnsharedFIOPluginInfo*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CVxUnsharedFIOPluginInfo::Init(uint32_t, uint32_t, uint32_t) {
    initialised_ = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVxUnsharedFIOPluginInfo::GetCount(int32_t* count) {
    if (!initialised_) return E_FAIL;
    if (!count) return E_INVALIDARG;
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVxUnsharedFIOPluginInfo::GetInfo(
    int32_t index, CLSID* clsid, WCHAR* name, int32_t nameCapacity, uint32_t* flags,
    uint32_t* value2, uint32_t* capabilities, uint32_t* value4, uint32_t* value5, uint32_t* value6,
    uint32_t* value7, uint32_t* value8) {
    if (!initialised_) return E_UNEXPECTED;
    if (index != 0) return E_INVALIDARG;
    const PluginDescription& row = kPluginDescriptions[0];
    if (clsid) *clsid = *row.clsid;
    if (name) VxGetString(Module().language, row.nameId, name, nameCapacity);
    Put(flags, row.flags);
    Put(value2, row.value2);
    Put(capabilities, row.capabilities);
    Put(value4, row.value4);
    Put(value5, row.value5);
    Put(value6, row.value6);
    Put(value7, 0u);
    Put(value8, row.value8);
    return S_OK;
}
