// The plug-in information object: how the host discovers what this plug-in reads.
#pragma once

#include "platform/ComObject.h"
#include "include/VxSWFPlugin.h"

#include <cstdint>

// One row of the plug-in description table.
struct PluginDescription {
    const CLSID* clsid;
    uint32_t nameId;
    uint32_t formatNameId;
    uint32_t patternId;
    uint32_t flags;
    uint32_t value2;
    uint32_t capabilities;
    uint32_t value4;
    uint32_t value5;
    uint32_t value6;
    uint32_t value8;
};

extern const PluginDescription kPluginDescriptions[1];

class CVxUnsharedFIOPluginInfo final
    : public ComObject<CVxUnsharedFIOPluginInfo, PlainCount, IVxUnsharedFIOPluginInfo> {
public:
    HRESULT STDMETHODCALLTYPE Init(uint32_t a, uint32_t b, uint32_t c) override;
    HRESULT STDMETHODCALLTYPE GetCount(int32_t* count) override;
    HRESULT STDMETHODCALLTYPE GetInfo(int32_t index, CLSID* clsid, WCHAR* name,
                                      int32_t nameCapacity, uint32_t* flags, uint32_t* value2,
                                      uint32_t* capabilities, uint32_t* value4, uint32_t* value5,
                                      uint32_t* value6, uint32_t* value7,
                                      uint32_t* value8) override;

private:
    friend ComObject;
    void* FindInterface(REFIID riid);

    int32_t initialised_ = 0;
};
