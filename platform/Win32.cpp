// The kernel stand-in for non-Windows builds: files, zero-filling global memory, mutexes
// with Windows ownership rules, interlocked counters and UTF-16 conversion.
#include "platform/Win32.h"

#ifndef _WIN32

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <mutex>
#include <pthread.h>
#include <string>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_ISequentialStream = {
    0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
const IID IID_IStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

// Every kernel handle points at one of these; CloseHandle destroys it.  The kind is a
// plain tag rather than a virtual type so that a handle made by one module (a host) can
// be closed by another (the plug-in), as Windows handles can.
struct KernelObject {
    enum Kind : uint32_t { kFile = 0x46494C45, kMutex = 0x4D555458 };
    explicit KernelObject(Kind k) : kind(k) {}
    Kind kind;
};

struct FileObject : KernelObject {
    FileObject() : KernelObject(kFile) {}
    ~FileObject() {
        if (file) std::fclose(file);
    }
    std::FILE* file = nullptr;
};

struct MutexObject : KernelObject {
    MutexObject() : KernelObject(kMutex) {}
    std::mutex guard;
    std::condition_variable released;
    DWORD owner = 0; // 0: not owned
    uint32_t depth = 0;
};

KernelObject* AsKernelObject(HANDLE h) {
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return nullptr;
    return static_cast<KernelObject*>(h);
}

FileObject* AsFile(HANDLE h) {
    KernelObject* object = AsKernelObject(h);
    return object && object->kind == KernelObject::kFile ? static_cast<FileObject*>(object)
                                                         : nullptr;
}

MutexObject* AsMutex(HANDLE h) {
    KernelObject* object = AsKernelObject(h);
    return object && object->kind == KernelObject::kMutex ? static_cast<MutexObject*>(object)
                                                          : nullptr;
}

// Global blocks carry their size in a header so that GlobalHandle and GlobalFree can
// find the block from the pointer that GlobalAlloc handed out.
struct alignas(std::max_align_t) GlobalHeader {
    SIZE_T bytes;
};

std::string Utf16ToUtf8(LPCWSTR wide, int length) {
    std::string out;
    for (int i = 0; i < length; ++i) {
        uint32_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD; // lone surrogate
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(LPCSTR text, int length) {
    std::u16string out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    for (int i = 0; i < length;) {
        uint32_t c = s[i];
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || (extra > 0 && i + extra >= length)) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        c = extra == 0 ? c : c & (0x3F >> extra);
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) valid = false;
            c = (c << 6) | (s[i + k] & 0x3F);
        }
        i += valid ? extra + 1 : 1;
        if (!valid || c > 0x10FFFF) {
            out += u'\uFFFD';
        } else if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

int WideLength(LPCWSTR wide) {
    int n = 0;
    while (wide[n]) ++n;
    return n;
}

HANDLE OpenFile(const std::string& path, DWORD access, DWORD disposition) {
    const char* mode = nullptr;
    if (disposition == OPEN_EXISTING)
        mode = (access & GENERIC_WRITE) ? "r+b" : "rb";
    else if (disposition == CREATE_ALWAYS)
        mode = (access & GENERIC_READ) ? "w+b" : "wb";
    if (!mode) return INVALID_HANDLE_VALUE;
    std::FILE* f = std::fopen(path.c_str(), mode);
    if (!f) return INVALID_HANDLE_VALUE;
    auto* object = new FileObject;
    object->file = f;
    return static_cast<KernelObject*>(object);
}

} // namespace

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD access, DWORD, void*, DWORD disposition, DWORD,
                          HANDLE) {
    if (!path) return INVALID_HANDLE_VALUE;
    return OpenFile(path, access, disposition);
}

HANDLE WINAPI CreateFileW(LPCWSTR path, DWORD access, DWORD, void*, DWORD disposition, DWORD,
                          HANDLE) {
    if (!path) return INVALID_HANDLE_VALUE;
    return OpenFile(Utf16ToUtf8(path, WideLength(path)), access, disposition);
}

DWORD WINAPI GetFileSize(HANDLE handle, DWORD* sizeHigh) {
    FileObject* f = AsFile(handle);
    if (!f) return INVALID_FILE_SIZE;
    const long here = std::ftell(f->file);
    std::fseek(f->file, 0, SEEK_END);
    const long long size = std::ftell(f->file);
    std::fseek(f->file, here, SEEK_SET);
    if (size < 0) return INVALID_FILE_SIZE;
    if (sizeHigh) *sizeHigh = DWORD(uint64_t(size) >> 32);
    return DWORD(size);
}

BOOL WINAPI ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* read, void*) {
    if (read) *read = 0;
    FileObject* f = AsFile(handle);
    if (!f || (!buffer && size)) return FALSE;
    const size_t got = size ? std::fread(buffer, 1, size, f->file) : 0;
    if (read) *read = DWORD(got);
    return std::ferror(f->file) ? FALSE : TRUE;
}

BOOL WINAPI WriteFile(HANDLE handle, const void* buffer, DWORD size, DWORD* written, void*) {
    if (written) *written = 0;
    FileObject* f = AsFile(handle);
    if (!f || (!buffer && size)) return FALSE;
    const size_t put = size ? std::fwrite(buffer, 1, size, f->file) : 0;
    if (written) *written = DWORD(put);
    return put == size ? TRUE : FALSE;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
    if (FileObject* file = AsFile(handle)) {
        delete file;
        return TRUE;
    }
    if (MutexObject* mutex = AsMutex(handle)) {
        delete mutex;
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI FlushFileBuffers(HANDLE handle) {
    FileObject* f = AsFile(handle);
    if (!f || std::fflush(f->file) != 0) return FALSE;
    return fsync(fileno(f->file)) == 0 ? TRUE : FALSE;
}

BOOL WINAPI MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
    if (!from || !to) return FALSE;
    const std::string source = Utf16ToUtf8(from, WideLength(from));
    const std::string target = Utf16ToUtf8(to, WideLength(to));
    // rename() always replaces; Windows refuses an existing target unless asked.
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && access(target.c_str(), F_OK) == 0) return FALSE;
    return std::rename(source.c_str(), target.c_str()) == 0 ? TRUE : FALSE;
}

BOOL WINAPI DeleteFileW(LPCWSTR path) {
    if (!path) return FALSE;
    return unlink(Utf16ToUtf8(path, WideLength(path)).c_str()) == 0 ? TRUE : FALSE;
}

// Large blocks (decoded images, pictures) are read across far more 4 KB pages than the
// processor keeps translations for: their whole 2 MB stretches are asked to be backed by
// huge pages, where the system allows it.
static void AdviseHugePages(void* block, size_t bytes) {
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    if (bytes < 2 * kHuge) return;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(block) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kHuge - 1);
#if defined(MADV_HUGEPAGE)
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)begin, (void)end;
#endif
}

HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T bytes) {
    // Every block is zero-filled and fixed, whatever the flags ask for.
    void* raw = std::calloc(1, sizeof(GlobalHeader) + bytes);
    if (!raw) return nullptr;
    static_cast<GlobalHeader*>(raw)->bytes = bytes;
    AdviseHugePages(raw, sizeof(GlobalHeader) + bytes);
    return static_cast<GlobalHeader*>(raw) + 1;
}

LPVOID WINAPI GlobalLock(HGLOBAL memory) {
    return memory;
}

BOOL WINAPI GlobalUnlock(HGLOBAL) {
    return FALSE;
}

HGLOBAL WINAPI GlobalHandle(const void* pointer) {
    return const_cast<void*>(pointer);
}

HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
    if (memory) std::free(static_cast<GlobalHeader*>(memory) - 1);
    return nullptr;
}

LONG WINAPI InterlockedIncrement(LONG volatile* value) {
    return std::atomic_ref<LONG>(*const_cast<LONG*>(value)).fetch_add(1) + 1;
}

LONG WINAPI InterlockedDecrement(LONG volatile* value) {
    return std::atomic_ref<LONG>(*const_cast<LONG*>(value)).fetch_sub(1) - 1;
}

namespace {
// The calling thread's kernel id, asked for once: a system call at every lock costs a
// small picture a tenth of its drawing.  A forked child's one thread asks again.
thread_local DWORD threadId = 0;
} // namespace

DWORD WINAPI GetCurrentThreadId() {
    if (threadId == 0) {
        static const bool forgetOnFork =
            pthread_atfork(nullptr, nullptr, [] { threadId = 0; }) == 0;
        (void)forgetOnFork;
        threadId = DWORD(syscall(SYS_gettid));
    }
    return threadId;
}

HANDLE WINAPI CreateMutexW(void*, BOOL initialOwner, LPCWSTR) {
    auto* mutex = new MutexObject;
    if (initialOwner) {
        mutex->owner = GetCurrentThreadId();
        mutex->depth = 1;
    }
    return static_cast<KernelObject*>(mutex);
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    MutexObject* mutex = AsMutex(handle);
    if (!mutex) return WAIT_FAILED;
    const DWORD self = GetCurrentThreadId();
    std::unique_lock lock(mutex->guard);
    auto available = [&] { return mutex->owner == 0 || mutex->owner == self; };
    if (milliseconds == INFINITE) {
        mutex->released.wait(lock, available);
    } else if (!mutex->released.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                         available)) {
        return WAIT_TIMEOUT;
    }
    mutex->owner = self;
    ++mutex->depth;
    return WAIT_OBJECT_0;
}

BOOL WINAPI ReleaseMutex(HANDLE handle) {
    MutexObject* mutex = AsMutex(handle);
    if (!mutex) return FALSE;
    std::unique_lock lock(mutex->guard);
    if (mutex->owner != GetCurrentThreadId() || mutex->depth == 0) return FALSE;
    if (--mutex->depth == 0) {
        mutex->owner = 0;
        lock.unlock();
        mutex->released.notify_all();
    }
    return TRUE;
}

int WINAPI WideCharToMultiByte(UINT, DWORD, LPCWSTR wide, int wideLength, LPSTR out, int outSize,
                               LPCSTR, BOOL* usedDefault) {
    if (usedDefault) *usedDefault = FALSE;
    if (!wide || outSize < 0) return 0;
    const bool withTerminator = wideLength < 0;
    const int length = withTerminator ? WideLength(wide) : wideLength;
    std::string text = Utf16ToUtf8(wide, length);
    if (withTerminator) text.push_back('\0');
    if (outSize == 0) return int(text.size());
    if (!out || int(text.size()) > outSize) return 0;
    std::memcpy(out, text.data(), text.size());
    return int(text.size());
}

int WINAPI MultiByteToWideChar(UINT, DWORD, LPCSTR text, int textLength, LPWSTR out, int outSize) {
    if (!text || outSize < 0) return 0;
    const bool withTerminator = textLength < 0;
    const int length = withTerminator ? int(std::strlen(text)) : textLength;
    std::u16string wide = Utf8ToUtf16(text, length);
    if (withTerminator) wide.push_back(u'\0');
    if (outSize == 0) return int(wide.size());
    if (!out || int(wide.size()) > outSize) return 0;
    std::memcpy(out, wide.data(), wide.size() * sizeof(WCHAR));
    return int(wide.size());
}

BOOL WINAPI DisableThreadLibraryCalls(HMODULE) {
    return TRUE;
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR path, DWORD size) {
    if (!path || size == 0) return 0;
    Dl_info info{};
    // The module handle is any address inside the library.
    if (!module || !dladdr(module, &info) || !info.dli_fname) {
        path[0] = 0;
        return 0;
    }
    const size_t length = std::strlen(info.dli_fname);
    const size_t copied = length < size - 1 ? length : size - 1;
    std::memcpy(path, info.dli_fname, copied);
    path[copied] = 0;
    return DWORD(copied);
}

#endif // !_WIN32
