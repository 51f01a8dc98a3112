#include "platform/graphics/JpegCodec.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DibParser.h"
#include "platform/graphics/GraphicErrors.h"
#include "platform/graphics/ImageLimits.h"
#include "platform/graphics/PixelConverter.h"

namespace brevanto::graphics {

namespace {

// libjpeg reports errors through error_exit, which must not return. We longjmp back into the
// one small function that called libjpeg; those functions hold only plain data, so no C++
// object is skipped. The caller then throws.
struct ErrorManager {
    jpeg_error_mgr pub;  // first, so libjpeg's pointer is ours
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

bool isCorruptionWarning(int code) {
    switch (code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_MUST_RESYNC:
        case JWRN_NOT_SEQUENTIAL:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
        case JWRN_BOGUS_PROGRESSION:
            return true;
        default:
            return false;
    }
}

// Warnings are silent, except those that mean the picture would come out damaged: a truncated
// or corrupt stream is refused rather than shown half grey.
void onEmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && isCorruptionWarning(cinfo->err->msg_code)) onErrorExit(cinfo);
}

void installErrorManager(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = onErrorExit;
    err.pub.emit_message = onEmitMessage;
    err.message[0] = '\0';
}

[[noreturn]] void throwJpegError(const ErrorManager& err) {
    throw EJPEG(std::string("JPEG image is not valid: ") + err.message);
}

// Everything one decompression needs, plain data only so that a longjmp may skip it.
struct DecodeJob {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    bool created = false;
    const unsigned char* data = nullptr;
    unsigned long size = 0;
    JSAMPROW* rows = nullptr;          // one pointer per output row, top row first
    unsigned char* cmykRow = nullptr;  // scratch row for four-component images
};

// Destroys the libjpeg object on every way out of decodeJpeg.
class DecodeGuard {
  public:
    explicit DecodeGuard(DecodeJob& job) : job_(job) {}
    DecodeGuard(const DecodeGuard&) = delete;
    DecodeGuard& operator=(const DecodeGuard&) = delete;
    ~DecodeGuard() {
        if (job_.created) jpeg_destroy_decompress(&job_.cinfo);
    }

  private:
    DecodeJob& job_;
};

bool readHeader(DecodeJob* job) {
    job->cinfo.err = &job->err.pub;
    if (setjmp(job->err.jump)) return false;
    jpeg_create_decompress(&job->cinfo);
    job->created = true;
    jpeg_mem_src(&job->cinfo, job->data, job->size);
    jpeg_read_header(&job->cinfo, TRUE);
    switch (job->cinfo.num_components) {
        case 1:
            job->cinfo.out_color_space = JCS_GRAYSCALE;
            break;
        case 4:
            job->cinfo.out_color_space = JCS_CMYK;
            break;
        default:
            job->cinfo.out_color_space = JCS_EXT_BGR;
            break;
    }
    return true;
}

void cmykToBgr(const unsigned char* cmyk, unsigned char* bgr, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x) {
        unsigned c = cmyk[4 * x];
        unsigned m = cmyk[4 * x + 1];
        unsigned y = cmyk[4 * x + 2];
        unsigned k = cmyk[4 * x + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Adobe writes inverted CMYK: the stored value is 255 minus the ink.
        bgr[3 * x] = static_cast<unsigned char>(y * k / 255);
        bgr[3 * x + 1] = static_cast<unsigned char>(m * k / 255);
        bgr[3 * x + 2] = static_cast<unsigned char>(c * k / 255);
    }
}

bool readPixels(DecodeJob* job) {
    if (setjmp(job->err.jump)) return false;
    jpeg_decompress_struct* cinfo = &job->cinfo;
    jpeg_start_decompress(cinfo);
    while (cinfo->output_scanline < cinfo->output_height) {
        if (job->cmykRow != nullptr) {
            JSAMPROW scratch = job->cmykRow;
            const JDIMENSION y = cinfo->output_scanline;
            if (jpeg_read_scanlines(cinfo, &scratch, 1) != 1) break;
            cmykToBgr(job->cmykRow, job->rows[y], cinfo->output_width,
                      cinfo->saw_Adobe_marker != 0);
        } else if (jpeg_read_scanlines(cinfo, job->rows + cinfo->output_scanline,
                                       cinfo->output_height - cinfo->output_scanline) == 0) {
            break;
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

// Both encoders set up libjpeg alike, so that they write the same bytes.
void setCompressParameters(jpeg_compress_struct* cinfo, JDIMENSION width, JDIMENSION height,
                           int quality) {
    cinfo->image_width = width;
    cinfo->image_height = height;
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(cinfo);  // YCbCr, JFIF header, Huffman, sequential
    jpeg_set_quality(cinfo, quality, TRUE);
}

// encodeJpeg's checks, shared by both encoders; answers the quality clamped to 1 .. 100.
int checkEncodable(const Bitmap& bitmap, int quality) {
    if (bitmap.empty()) throw EInvalidGraphicOperation("An empty bitmap cannot be compressed");
    if (bitmap.width() > JPEG_MAX_DIMENSION || bitmap.height() > JPEG_MAX_DIMENSION)
        throw EInvalidGraphicOperation("The bitmap is too large for JPEG");
    return quality < 1 ? 1 : (quality > 100 ? 100 : quality);
}

// Everything one compression needs, plain data only.
struct EncodeJob {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    bool created = false;
    unsigned char* out = nullptr;  // malloc'ed by jpeg_mem_dest
    unsigned long outSize = 0;
    JDIMENSION width = 0;
    JDIMENSION height = 0;
    int quality = 90;
    JSAMPROW* rows = nullptr;
};

class EncodeGuard {
  public:
    explicit EncodeGuard(EncodeJob& job) : job_(job) {}
    EncodeGuard(const EncodeGuard&) = delete;
    EncodeGuard& operator=(const EncodeGuard&) = delete;
    ~EncodeGuard() {
        if (job_.created) jpeg_destroy_compress(&job_.cinfo);
        std::free(job_.out);
    }

  private:
    EncodeJob& job_;
};

bool compress(EncodeJob* job) {
    job->cinfo.err = &job->err.pub;
    if (setjmp(job->err.jump)) return false;
    jpeg_compress_struct* cinfo = &job->cinfo;
    jpeg_create_compress(cinfo);
    job->created = true;
    jpeg_mem_dest(cinfo, &job->out, &job->outSize);
    setCompressParameters(cinfo, job->width, job->height, job->quality);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        jpeg_write_scanlines(cinfo, job->rows + cinfo->next_scanline,
                             cinfo->image_height - cinfo->next_scanline);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

// The destination of a streamed compression: a block buffer handed to the sink whenever it is
// full and once at the end. A sink that fails stops libjpeg through its error exit.
struct SinkDestination {
    jpeg_destination_mgr pub;  // first, so libjpeg's pointer is ours
    JpegSink* sink = nullptr;
    JOCTET* buffer = nullptr;
    std::size_t size = 0;
    bool failed = false;
};

void initSinkDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = dest->size;
}

boolean emptySinkDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
    if (!dest->sink->write(dest->buffer, dest->size)) {
        dest->failed = true;
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = dest->size;
    return TRUE;
}

void termSinkDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
    const std::size_t used = dest->size - dest->pub.free_in_buffer;
    if (used > 0 && !dest->sink->write(dest->buffer, used)) {
        dest->failed = true;
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
}

// Everything one streamed compression needs, plain data only. Rows are handed to libjpeg a
// batch at a time: pointers into the bitmap for pf24bit, otherwise rows converted into scratch.
struct StreamJob {
    static constexpr int kBatchRows = 16;
    jpeg_compress_struct cinfo;
    ErrorManager err;
    SinkDestination dest;
    bool created = false;
    const Bitmap* bitmap = nullptr;
    int quality = 90;
    unsigned char* scratch = nullptr;  // kBatchRows rows of width * 3 bytes, or null for pf24bit
};

class StreamGuard {
  public:
    explicit StreamGuard(StreamJob& job) : job_(job) {}
    StreamGuard(const StreamGuard&) = delete;
    StreamGuard& operator=(const StreamGuard&) = delete;
    ~StreamGuard() {
        if (job_.created) jpeg_destroy_compress(&job_.cinfo);
    }

  private:
    StreamJob& job_;
};

// Row y of the picture as blue, green, red; the same colours convertPixelFormat gives.
void convertRow(const Bitmap& bitmap, int y, unsigned char* out) {
    const std::uint8_t* in = bitmap.scanLine(y);
    const int width = bitmap.width();
    if (bitmap.pixelFormat() == PixelFormat::pf32bit) {
        for (int x = 0; x < width; ++x) {
            out[3 * x] = in[4 * x];
            out[3 * x + 1] = in[4 * x + 1];
            out[3 * x + 2] = in[4 * x + 2];
        }
        return;
    }
    for (int x = 0; x < width; ++x) {
        const RgbColor c = readPixel(bitmap, in, x);
        out[3 * x] = c.blue;
        out[3 * x + 1] = c.green;
        out[3 * x + 2] = c.red;
    }
}

// The rows come from the bitmap in range only, so nothing here throws while libjpeg may
// still jump back.
bool compressStream(StreamJob* job) {
    job->cinfo.err = &job->err.pub;
    if (setjmp(job->err.jump)) return false;
    jpeg_compress_struct* cinfo = &job->cinfo;
    jpeg_create_compress(cinfo);
    job->created = true;
    job->dest.pub.init_destination = initSinkDestination;
    job->dest.pub.empty_output_buffer = emptySinkDestination;
    job->dest.pub.term_destination = termSinkDestination;
    cinfo->dest = &job->dest.pub;
    const Bitmap& bitmap = *job->bitmap;
    const auto height = static_cast<JDIMENSION>(bitmap.height());
    setCompressParameters(cinfo, static_cast<JDIMENSION>(bitmap.width()), height, job->quality);
    jpeg_start_compress(cinfo, TRUE);
    const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width()) * 3;
    JSAMPROW rows[StreamJob::kBatchRows];
    while (cinfo->next_scanline < height) {
        const JDIMENSION first = cinfo->next_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(StreamJob::kBatchRows, height - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            const int y = static_cast<int>(first + i);
            if (job->scratch == nullptr) {
                rows[i] = const_cast<JSAMPROW>(bitmap.scanLine(y));
            } else {
                rows[i] = job->scratch + i * rowBytes;
                convertRow(bitmap, y, rows[i]);
            }
        }
        jpeg_write_scanlines(cinfo, rows, count);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

}  // namespace

std::vector<std::uint8_t> encodeJpeg(const Bitmap& bitmap, int quality) {
    if (bitmap.pixelFormat() != PixelFormat::pf24bit)
        throw EInvalidGraphicOperation("Only a 24-bit bitmap can be compressed as JPEG");
    const int clampedQuality = checkEncodable(bitmap, quality);
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(bitmap.height()));
    for (int y = 0; y < bitmap.height(); ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<JSAMPROW>(bitmap.scanLine(y));

    EncodeJob job;
    installErrorManager(job.err);
    EncodeGuard guard(job);
    job.width = static_cast<JDIMENSION>(bitmap.width());
    job.height = static_cast<JDIMENSION>(bitmap.height());
    job.quality = clampedQuality;
    job.rows = rows.data();
    if (!compress(&job)) throwJpegError(job.err);
    return std::vector<std::uint8_t>(job.out, job.out + job.outSize);
}

void encodeJpegTo(const Bitmap& bitmap, int quality, JpegSink& sink) {
    // Sized so that a page's JPEG takes a handful of writes.
    constexpr std::size_t kBlockBytes = std::size_t{256} << 10;
    const int clampedQuality = checkEncodable(bitmap, quality);
    const auto block = std::make_unique_for_overwrite<JOCTET[]>(kBlockBytes);
    std::unique_ptr<unsigned char[]> scratch;
    if (bitmap.pixelFormat() != PixelFormat::pf24bit)
        scratch = std::make_unique_for_overwrite<unsigned char[]>(
            static_cast<std::size_t>(bitmap.width()) * 3 * StreamJob::kBatchRows);

    StreamJob job;
    installErrorManager(job.err);
    StreamGuard guard(job);
    job.bitmap = &bitmap;
    job.quality = clampedQuality;
    job.scratch = scratch.get();
    job.dest.sink = &sink;
    job.dest.buffer = block.get();
    job.dest.size = kBlockBytes;
    if (!compressStream(&job)) {
        if (job.dest.failed) sink.raise();
        throwJpegError(job.err);
    }
}

Bitmap decodeJpeg(const std::uint8_t* data, std::size_t size) {
    DecodeJob job;
    installErrorManager(job.err);
    DecodeGuard guard(job);
    job.data = data;
    job.size = static_cast<unsigned long>(size);
    if (data == nullptr || size == 0) throw EJPEG("JPEG image is not valid: the data are empty");
    if (!readHeader(&job)) throwJpegError(job.err);

    const jpeg_decompress_struct& cinfo = job.cinfo;
    checkJpegPixels(cinfo.image_width, cinfo.image_height, size, cinfo.arith_code != 0);
    const bool grey = cinfo.out_color_space == JCS_GRAYSCALE;
    checkDibGeometry(cinfo.image_width, cinfo.image_height, grey ? 8 : 24);
    Bitmap bitmap(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height),
                  grey ? PixelFormat::pf8bit : PixelFormat::pf24bit);
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(bitmap.height()));
    for (int y = 0; y < bitmap.height(); ++y)
        rows[static_cast<std::size_t>(y)] = bitmap.scanLine(y);
    std::vector<unsigned char> cmykRow;
    if (cinfo.out_color_space == JCS_CMYK) {
        cmykRow.resize(static_cast<std::size_t>(cinfo.image_width) * 4);
        job.cmykRow = cmykRow.data();
    }
    job.rows = rows.data();
    if (!readPixels(&job)) throwJpegError(job.err);
    if (job.cinfo.output_scanline != job.cinfo.output_height)
        throw EJPEG("JPEG image is not valid: the image data end early");
    if (job.cinfo.density_unit == 1) {
        bitmap.setResolution(static_cast<std::int32_t>(job.cinfo.X_density * 10000 / 254),
                             static_cast<std::int32_t>(job.cinfo.Y_density * 10000 / 254));
    } else if (job.cinfo.density_unit == 2) {
        bitmap.setResolution(job.cinfo.X_density * 100, job.cinfo.Y_density * 100);
    }
    return bitmap;
}

}  // namespace brevanto::graphics
