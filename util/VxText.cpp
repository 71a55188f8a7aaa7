#include "util/VxText.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Appends to a fixed buffer, dropping what does not fit (room is kept for the terminator).
class TextSink {
public:
    TextSink(WCHAR* buffer, int32_t capacity) : buffer_(buffer), capacity_(capacity) {}

    void Put(WCHAR c) {
        if (length_ < capacity_ - 1) buffer_[length_++] = c;
    }
    void PutAscii(const char* text) {
        for (; *text; ++text) Put(WCHAR(static_cast<unsigned char>(*text)));
    }
    void PutWide(const WCHAR* text) {
        if (text)
            for (; *text; ++text) Put(*text);
    }
    int32_t Finish() {
        buffer_[length_] = 0;
        return length_;
    }

private:
    WCHAR* buffer_;
    int32_t capacity_;
    int32_t length_ = 0;
};

} // namespace

int32_t VxPrintF(WCHAR* buffer, int32_t capacity, const WCHAR* format, ...) {
    if (!buffer || capacity < 1) return 0;
    TextSink sink(buffer, capacity);
    va_list args;
    va_start(args, format);
    char number[16];
    for (const WCHAR* p = format; p && *p; ++p) {
        if (*p != u'$' || p[1] == 0) {
            sink.Put(*p);
            continue;
        }
        switch (*++p) {
        case u'd':
            std::snprintf(number, sizeof(number), "%d", va_arg(args, int32_t));
            sink.PutAscii(number);
            break;
        case u'u':
            std::snprintf(number, sizeof(number), "%u", va_arg(args, uint32_t));
            sink.PutAscii(number);
            break;
        case u's':
            sink.PutWide(va_arg(args, const WCHAR*));
            break;
        default: // "$$" and unknown conversions write the character itself
            sink.Put(*p);
            break;
        }
    }
    va_end(args);
    return sink.Finish();
}

int32_t VxVideo_GetAttribsText(const BITMAPINFOHEADER* format, WCHAR* buffer, int32_t capacity) {
    if (!buffer || capacity < 1) return 0;
    if (capacity > kVxAttribsTextCapacity) capacity = kVxAttribsTextCapacity;
    if (!format) {
        buffer[0] = 0;
        return 0;
    }
    char text[96];
    const long height = format->biHeight < 0 ? -long(format->biHeight) : long(format->biHeight);
    std::snprintf(text, sizeof(text), "%ld x %ld, %u bits per pixel", long(format->biWidth), height,
                  unsigned(format->biBitCount));
    TextSink sink(buffer, capacity);
    sink.PutAscii(text);
    return sink.Finish();
}
