#include "LibjpegProbe.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <cstdlib>

namespace brevanto::graphics::test {

namespace {

struct ProbeError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void probeErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ProbeError*>(cinfo->err)->jump, 1);
}

void quiet(j_common_ptr, int) {}

bool probe(const std::vector<std::uint8_t>* data, LibjpegFacts* facts) {
    jpeg_decompress_struct cinfo;
    ProbeError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = probeErrorExit;
    err.pub.emit_message = quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data->data(), data->size());
    jpeg_read_header(&cinfo, TRUE);
    facts->width = static_cast<int>(cinfo.image_width);
    facts->height = static_cast<int>(cinfo.image_height);
    facts->components = cinfo.num_components;
    facts->jfif = cinfo.saw_JFIF_marker != 0;
    facts->progressive = cinfo.progressive_mode != 0;
    facts->ycbcr = cinfo.jpeg_color_space == JCS_YCbCr;
    facts->adobe = cinfo.saw_Adobe_marker != 0;
    if (cinfo.quant_tbl_ptrs[0] != nullptr) {
        facts->lumaQuant0 = cinfo.quant_tbl_ptrs[0]->quantval[0];
        facts->lumaQuant1 = cinfo.quant_tbl_ptrs[0]->quantval[1];
    }
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool make(int width, int height, int components, bool progressive, bool adobeMarker,
          const unsigned char* pixels, unsigned char** out, unsigned long* outSize) {
    jpeg_compress_struct cinfo;
    ProbeError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = probeErrorExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : (components == 4 ? JCS_CMYK : JCS_RGB);
    jpeg_set_defaults(&cinfo);
    if (progressive) jpeg_simple_progression(&cinfo);
    if (!adobeMarker) cinfo.write_Adobe_marker = FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + cinfo.next_scanline * width * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

LibjpegFacts readJpegHeader(const std::vector<std::uint8_t>& data) {
    LibjpegFacts facts;
    facts.ok = probe(&data, &facts);
    return facts;
}

std::vector<std::uint8_t> makeJpeg(int width, int height, int components, bool progressive) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width * height * components));
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool ok = make(width, height, components, progressive, true, pixels.data(), &out, &size);
    std::vector<std::uint8_t> result;
    if (ok) result.assign(out, out + size);
    std::free(out);
    return result;
}

std::vector<std::uint8_t> makeSolidJpeg(int width, int height,
                                        const std::vector<std::uint8_t>& pixel, bool adobeMarker) {
    std::vector<unsigned char> pixels;
    for (int i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), pixel.begin(), pixel.end());
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool ok = make(width, height, static_cast<int>(pixel.size()), false, adobeMarker,
                         pixels.data(), &out, &size);
    std::vector<std::uint8_t> result;
    if (ok) result.assign(out, out + size);
    std::free(out);
    return result;
}

}  // namespace brevanto::graphics::test
