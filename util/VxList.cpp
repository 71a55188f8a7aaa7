#include "util/VxList.h"

#include <cstring>
#include <new>
#include <vector>

struct VxList {
    size_t elementSize = 0;
    size_t growBy = 0; // 0: let the vector choose
    uint32_t flags = 0;
    std::vector<unsigned char> bytes;

    size_t Count() const { return bytes.size() / elementSize; }
    unsigned char* At(size_t index) { return bytes.data() + index * elementSize; }
    bool OwnsBlocks() const { return (flags & VXLIST_OWNS_BLOCKS) != 0; }
    void FreeBlock(size_t index) {
        void* block = nullptr;
        std::memcpy(&block, At(index), sizeof(block));
        if (block) GlobalFree(block);
    }
};

HRESULT VxList_CreateExZ(VXLIST* list, int32_t elementSize, int32_t initialCapacity, int32_t growBy,
                         uint32_t flags) {
    if (!list) return E_POINTER;
    *list = nullptr;
    if (elementSize <= 0) return E_INVALIDARG;
    if ((flags & VXLIST_OWNS_BLOCKS) && elementSize != kVxListPointerSize) return E_INVALIDARG;
    auto* created = new (std::nothrow) VxList;
    if (!created) return E_OUTOFMEMORY;
    created->elementSize = size_t(elementSize);
    created->growBy = growBy > 0 ? size_t(growBy) : 0;
    created->flags = flags;
    try {
        if (initialCapacity > 0) created->bytes.reserve(size_t(initialCapacity) * elementSize);
    } catch (const std::bad_alloc&) {
        delete created;
        return E_OUTOFMEMORY;
    }
    *list = created;
    return S_OK;
}

HRESULT VxList_InsertList(VXLIST list, int32_t index, const void* element) {
    if (!list || !element) return E_POINTER;
    const size_t count = list->Count();
    if (index < -1 || (index >= 0 && size_t(index) > count)) return E_INVALIDARG;
    const size_t at = index < 0 ? count : size_t(index);
    const auto* source = static_cast<const unsigned char*>(element);
    try {
        if (list->growBy && list->bytes.size() == list->bytes.capacity())
            list->bytes.reserve(list->bytes.size() + list->growBy * list->elementSize);
        list->bytes.insert(list->bytes.begin() + ptrdiff_t(at * list->elementSize), source,
                           source + list->elementSize);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT VxList_DeleteList(VXLIST list, int32_t index) {
    if (!list) return E_POINTER;
    const size_t count = list->Count();
    if (index == -1) {
        if (list->OwnsBlocks())
            for (size_t i = 0; i < count; ++i) list->FreeBlock(i);
        list->bytes.clear();
        return S_OK;
    }
    if (index < 0 || size_t(index) >= count) return E_INVALIDARG;
    if (list->OwnsBlocks()) list->FreeBlock(size_t(index));
    auto first = list->bytes.begin() + ptrdiff_t(size_t(index) * list->elementSize);
    list->bytes.erase(first, first + ptrdiff_t(list->elementSize));
    return S_OK;
}

void VxList_Destroy(VXLIST list) {
    if (!list) return;
    VxList_DeleteList(list, -1);
    delete list;
}

int32_t VxList_GetCount(VXLIST list) {
    return list ? int32_t(list->Count()) : 0;
}

void* VxList_GetAt(VXLIST list, int32_t index) {
    if (!list || index < 0 || size_t(index) >= list->Count()) return nullptr;
    return list->At(size_t(index));
}

void* VxList_GetPointer(VXLIST list, int32_t index) {
    void* slot = VxList_GetAt(list, index);
    if (!slot || list->elementSize != sizeof(void*)) return nullptr;
    void* pointer = nullptr;
    std::memcpy(&pointer, slot, sizeof(pointer));
    return pointer;
}
