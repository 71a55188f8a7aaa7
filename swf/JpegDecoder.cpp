#include "swf/JpegDecoder.h"

#include <cstring>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// clang-format off: jpeglib.h needs the declarations of stdio.h first
#include <jpeglib.h>
// clang-format on

namespace UT {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    jmp_buf exit;
};

// No message leaves the decoder; errors jump back to it.
void ErrorExit(j_common_ptr cinfo) {
    longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->exit, 1);
}

void DropMessage(j_common_ptr) {}
void DropWarning(j_common_ptr, int) {}

// Reads an in-memory range.  Past its end the source supplies end-of-image markers, so
// libjpeg finishes (or fails) without ever reading outside the range.
struct Source {
    jpeg_source_mgr base;
    const uint8_t* next;
    size_t left;
    bool bytewise; // one byte per fill request
};

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo) {
    auto* source = reinterpret_cast<Source*>(cinfo->src);
    if (source->left == 0) {
        source->base.next_input_byte = kEndOfImage;
        source->base.bytes_in_buffer = sizeof(kEndOfImage);
        return TRUE;
    }
    const size_t count = source->bytewise ? 1 : source->left;
    source->base.next_input_byte = source->next;
    source->base.bytes_in_buffer = count;
    source->next += count;
    source->left -= count;
    return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
    auto* source = reinterpret_cast<Source*>(cinfo->src);
    if (count <= 0) return;
    size_t skip = static_cast<size_t>(count);
    const size_t buffered = source->base.bytes_in_buffer;
    if (skip <= buffered) {
        source->base.next_input_byte += skip;
        source->base.bytes_in_buffer -= skip;
        return;
    }
    skip -= buffered;
    source->base.bytes_in_buffer = 0;
    if (skip > source->left) skip = source->left;
    source->next += skip;
    source->left -= skip;
}

void SetSource(jpeg_decompress_struct& cinfo, Source& source, const JpegInput& input,
               bool bytewise) {
    source.base.init_source = InitSource;
    source.base.fill_input_buffer = FillInput;
    source.base.skip_input_data = SkipInput;
    source.base.resync_to_restart = jpeg_resync_to_restart;
    source.base.term_source = TermSource;
    source.base.next_input_byte = nullptr;
    source.base.bytes_in_buffer = 0;
    source.next = input.data;
    source.left = input.data ? input.size : 0;
    source.bytewise = bytewise;
    cinfo.src = &source.base;
}

// The decode proper, after the image header has been read.  Everything that must be
// released on an error jump is reachable through `scratch` and `image`.
void DecodeRows(jpeg_decompress_struct& cinfo, PixelBuffer* volatile& image,
                uint8_t* volatile& scratch) {
    if (uint64_t(cinfo.image_width) * cinfo.image_height > kMaxBitmapPixels) return;
    jpeg_start_decompress(&cinfo);
    const int components = cinfo.output_components;
    const uint32_t width = cinfo.output_width, height = cinfo.output_height;
    if (uint64_t(width) * height > kMaxBitmapPixels || components < 1 || components > 4) return;
    PixelBuffer* out =
        PixelBuffer::Create(int32_t(width), int32_t(height), components == 3 ? 4 : components, 1);
    if (!out) return;
    image = out;
    out->hasAlpha = out->bytesPerPixel == 2 || out->bytesPerPixel == 4;
    if (components == 3) {
        scratch = static_cast<uint8_t*>(std::malloc(size_t(width) * 3 + 1));
        if (!scratch) return;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        const uint32_t y = cinfo.output_scanline;
        JSAMPROW row = components == 3 ? scratch : out->pixels ? out->Row(int32_t(y)) : nullptr;
        if (!row) break;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
        if (components != 3) continue;
        uint8_t* dst = out->Row(int32_t(y));
        for (uint32_t x = 0; x < width; ++x, dst += 4) {
            dst[0] = scratch[3 * x + 2];
            dst[1] = scratch[3 * x + 1];
            dst[2] = scratch[3 * x];
            dst[3] = 255;
        }
    }
    jpeg_finish_decompress(&cinfo);
}

// One decode from header to pixels.  With `tables`, those are read first as an
// abbreviated tables-only stream, byte by byte like the image.
PixelBuffer* Decode(const JpegInput* tables, const JpegInput& data) {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    Source source;
    PixelBuffer* volatile image = nullptr;
    uint8_t* volatile scratch = nullptr;
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    errors.base.output_message = DropMessage;
    errors.base.emit_message = DropWarning;
    if (setjmp(errors.exit)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(scratch);
        if (image) image->Release();
        return nullptr;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.quantize_colors = FALSE;
    bool complete = false;
    if (tables) {
        SetSource(cinfo, source, *tables, true);
        // Tables are kept across streams; anything else the first stream held is not.
        if (jpeg_read_header(&cinfo, FALSE) != JPEG_HEADER_TABLES_ONLY)
            jpeg_abort_decompress(&cinfo);
        SetSource(cinfo, source, data, true);
        complete = jpeg_read_header(&cinfo, TRUE) == JPEG_HEADER_OK;
    } else {
        SetSource(cinfo, source, data, false);
        int result = jpeg_read_header(&cinfo, FALSE);
        // A tables-only stream first: the image follows where it ended.
        if (result == JPEG_HEADER_TABLES_ONLY) result = jpeg_read_header(&cinfo, TRUE);
        complete = result == JPEG_HEADER_OK;
    }
    if (complete) DecodeRows(cinfo, image, scratch);
    jpeg_destroy_decompress(&cinfo);
    std::free(scratch);
    return image;
}

// Many movies put an end-of-image marker followed by a start-of-image marker (FF D9 FF D8)
// in front of their JPEG data; libjpeg refuses a stream that begins with an end, so the
// empty pair is passed over.
JpegInput WithoutEmptyStream(const JpegInput& input) {
    static const uint8_t kEmptyStream[4] = {0xFF, 0xD9, 0xFF, 0xD8};
    if (input.data && input.size >= 4 && std::memcmp(input.data, kEmptyStream, 4) == 0)
        return {input.data + 4, input.size - 4};
    return input;
}

} // namespace

PixelBuffer* DecodeJpegWithTables(const JpegInput& tables, const JpegInput& image) {
    const JpegInput cleanTables = WithoutEmptyStream(tables);
    return Decode(&cleanTables, WithoutEmptyStream(image));
}

PixelBuffer* DecodeJpeg(const JpegInput& data) {
    return Decode(nullptr, WithoutEmptyStream(data));
}

} // namespace UT
