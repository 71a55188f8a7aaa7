// A growable list of fixed-size elements, kept contiguous in insertion order.
#pragma once

#include "platform/Win32.h"

#include <cstdint>

struct VxList;
typedef VxList* VXLIST;

// The elements are pointers to global memory blocks that the list owns and frees when they
// are deleted or the list is destroyed.
#define VXLIST_OWNS_BLOCKS 0x00000002u
// New element storage is zero-filled (always true here; kept for callers that ask for it).
#define VXLIST_ZEROFILL 0x80000000u

// Element size of a list of pointers (4 on the 32-bit host).
constexpr int32_t kVxListPointerSize = int32_t(sizeof(void*));

// Makes an empty list.  `initialCapacity` and `growBy` count elements; -1 takes the
// defaults.  An owning list must hold pointers.
HRESULT VxList_CreateExZ(VXLIST* list, int32_t elementSize, int32_t initialCapacity, int32_t growBy,
                         uint32_t flags);
// Copies one element from `element` into the list before `index`; -1 (or the count)
// appends.
HRESULT VxList_InsertList(VXLIST list, int32_t index, const void* element);
// Deletes the element at `index`, or every element for -1.
HRESULT VxList_DeleteList(VXLIST list, int32_t index);
// Deletes every element and frees the list; null is allowed.
void VxList_Destroy(VXLIST list);

int32_t VxList_GetCount(VXLIST list);
// The storage of element `index`, or null when out of range.
void* VxList_GetAt(VXLIST list, int32_t index);
// The pointer stored at `index` in a list of pointers, or null when out of range.
void* VxList_GetPointer(VXLIST list, int32_t index);
