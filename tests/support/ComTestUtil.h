// Helpers for tests that talk to the plug-in as a host does.
#pragma once

#include "include/VxSWFPlugin.h"

#include <string>

namespace comtest {

inline std::u16string Text(const WCHAR* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

inline std::string Narrow(const WCHAR* text) {
    std::string out;
    for (; *text; ++text) out += *text < 0x80 ? char(*text) : '?';
    return out;
}

// Calls the operation in `slot` of the interface table of `object` directly, the way a
// host compiled against another compiler would: catches any slot-order mistake.
template <class R, class... Args> R CallSlot(void* object, int slot, Args... args) {
    using Fn = R(STDMETHODCALLTYPE*)(void*, Args...);
    void** table = *static_cast<void***>(object);
    return reinterpret_cast<Fn>(table[slot])(object, args...);
}

// Releases a COM pointer at scope end.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ~ComPtr() { Reset(); }
    void Reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T** out() {
        Reset();
        return &p_;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

} // namespace comtest
