// Intrusive, non-atomic reference counting for the movie model's shared objects
// (characters, display items, stencils), and the holder that applies the holding
// discipline: whoever stores a pointer adds a reference, whoever drops it releases it.
#pragma once

#include <cstdint>
#include <utility>

class RefCountBase {
public:
    RefCountBase() = default;
    RefCountBase(const RefCountBase&) = delete;
    RefCountBase& operator=(const RefCountBase&) = delete;
    virtual ~RefCountBase() = default;

    void AddRef() { ++refCount; }
    // The release that brings the count to 0 destroys the object.
    void Release() {
        if (--refCount == 0) delete this;
    }
    int32_t RefCount() const { return refCount; }

private:
    int32_t refCount = 0;
};

// Holds one reference to a RefCountBase-derived object.  Assigning the object already
// held changes nothing; otherwise the old object is released and the new one referenced.
template <class T> class Held {
public:
    Held() = default;
    Held(T* object) : object(object) { Retain(object); }
    Held(const Held& other) : Held(other.object) {}
    Held(Held&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    template <class U> Held(const Held<U>& other) : Held(other.Get()) {}
    ~Held() { Drop(object); }

    // Takes over a reference that the caller already owns (a freshly created object
    // that was handed out holding one reference).
    static Held Adopt(T* object) {
        Held held;
        held.object = object;
        return held;
    }

    Held& operator=(T* other) {
        if (other == object) return *this;
        // Referencing the new object before releasing the old one keeps it alive when the
        // old object held the only other reference to it.
        Retain(other);
        Drop(std::exchange(object, other));
        return *this;
    }
    Held& operator=(const Held& other) { return *this = other.object; }
    Held& operator=(Held&& other) noexcept {
        if (this != &other) Drop(std::exchange(object, std::exchange(other.object, nullptr)));
        return *this;
    }

    // Gives up the reference without releasing it.
    T* Detach() { return std::exchange(object, nullptr); }
    void Reset() { *this = nullptr; }

    T* Get() const { return object; }
    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }

private:
    static void Retain(T* p) {
        if (p) p->AddRef();
    }
    static void Drop(T* p) {
        if (p) p->Release();
    }

    T* object = nullptr;
};
