// The IUnknown bookkeeping shared by the plug-in's COM objects: QueryInterface's pointer
// checks and AddRef on success, and AddRef/Release by one of three counting rules.
//
//   class CThing final : public ComObject<CThing, InterlockedCount<0>, IThing> {
//       friend ComObject;
//       void* FindInterface(REFIID riid);  // the interface for an id, or null
//   };
//
// ComObject declares no virtual function of its own, so the derived class's interface
// tables (and where its destructor slot lands) are what they would be without it.  Memory
// comes from GlobalObject, mixed in after the interfaces so that it never moves a table.
#pragma once

#include "platform/GlobalObject.h"
#include "platform/Win32.h"

// A plain counter from 0, for objects a host uses from one thread at a time.  Frees the
// object at 0.
struct PlainCount {
    ULONG value = 0;

    template <class Object> ULONG AddRef(Object&) { return ++value; }
    template <class Object> ULONG Release(Object& object) {
        const ULONG count = --value;
        if (count == 0) delete &object;
        return count;
    }
};

// An interlocked counter starting at `Initial` (1 for objects born holding their creator's
// reference).  Frees the object at 0.
template <LONG Initial> struct InterlockedCount {
    LONG value = Initial;

    template <class Object> ULONG AddRef(Object&) { return ULONG(InterlockedIncrement(&value)); }
    template <class Object> ULONG Release(Object& object) {
        const LONG count = InterlockedDecrement(&value);
        if (count == 0) delete &object;
        return ULONG(count);
    }
};

// An interlocked counter of an object that lives and dies with its owner: every change is
// applied to the owner too (`object.CountOwner()`, which may be null), and reaching 0 frees
// nothing.  The owner's release comes last, as it may free the object.
struct OwnerCount {
    LONG value = 0;

    template <class Object> ULONG AddRef(Object& object) {
        const LONG count = InterlockedIncrement(&value);
        if (IUnknown* owner = object.CountOwner()) owner->AddRef();
        return ULONG(count);
    }
    template <class Object> ULONG Release(Object& object) {
        const LONG count = InterlockedDecrement(&value);
        if (IUnknown* owner = object.CountOwner()) owner->Release();
        return ULONG(count);
    }
};

template <class Derived, class Counting, class... Interfaces>
class ComObject : public Interfaces..., public GlobalObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = Self().FindInterface(riid);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return counting.AddRef(Self()); }
    ULONG STDMETHODCALLTYPE Release() override { return counting.Release(Self()); }

private:
    Derived& Self() { return static_cast<Derived&>(*this); }

    Counting counting;
};
