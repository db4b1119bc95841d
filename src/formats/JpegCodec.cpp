#include "formats/JpegCodec.h"

#include "formats/AtomicFile.h"
#include "formats/ReadOnlyFile.h"
#include "platform/Exception.h"
#include "probe/ImageProbes.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jerror.h>
#include <jpeglib.h>
#include <memory>

// libjpeg reports a fatal error by calling error_exit, which must not return. We jump back
// to a setjmp in the one function (runDecode, runEncode) that makes the libjpeg calls. Only
// libjpeg's C frames and our C-style callbacks lie between the two, so the jump skips no
// destructor; the C++ objects that own the libjpeg structs live in the caller's frame and
// release them on every path. No C++ exception is ever thrown through libjpeg.

namespace {

constexpr size_t kInputBufferSize = 64 * 1024;
constexpr size_t kInitialOutputSize = 64 * 1024;

struct TErrorManager {
    jpeg_error_mgr pub; // first, so that libjpeg's pointer is ours
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX + 128];
};

TErrorManager *errorManager(j_common_ptr cinfo)
{
    return reinterpret_cast<TErrorManager *>(cinfo->err);
}

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    TErrorManager *err = errorManager(cinfo);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Fails with a message of our own instead of one of libjpeg's.
[[noreturn]] void failWith(j_common_ptr cinfo, const char *text)
{
    TErrorManager *err = errorManager(cinfo);
    std::snprintf(err->message, sizeof err->message, "%s", text);
    std::longjmp(err->jump, 1);
}

// Warnings and trace messages would go to stderr; a desktop program keeps them to itself.
void outputMessage(j_common_ptr) {}

void initErrorManager(TErrorManager &err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = outputMessage;
    err.message[0] = '\0';
}

// --- input ---------------------------------------------------------------------------------

const JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

// Feeds libjpeg from a TByteSource in windows of kInputBufferSize bytes, every window filled
// as far as the stream reaches however few bytes each read returns. libjpeg-turbo decodes a
// scan's entropy-coded data on a fast path only while enough bytes lie in the buffer, and on
// damaged data the fast and the careful path can disagree; so the windows must depend on the
// stream alone, not on how the reads happen to split it, nor on whether it came from memory.
struct TSourceManager {
    jpeg_source_mgr pub;
    TByteSource *source = nullptr;
    uint64_t position = 0; // next offset to read from source
    JOCTET buffer[kInputBufferSize];
};

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

// At the end of the data, a fake end-of-image marker lets libjpeg finish what it has, with a
// warning, as its own file reader does.
void giveFakeEoi(j_decompress_ptr cinfo, TSourceManager *src)
{
    WARNMS(cinfo, JWRN_JPEG_EOF);
    src->pub.next_input_byte = kFakeEoi;
    src->pub.bytes_in_buffer = sizeof kFakeEoi;
}

// Reads until the buffer is full or the source has no more. Raises EModwright.
size_t fillWindow(TSourceManager *src)
{
    size_t filled = 0;
    while (filled < sizeof src->buffer) {
        const size_t n =
            src->source->readAt(src->position + filled, src->buffer + filled, sizeof src->buffer - filled);
        if (n == 0)
            break;
        filled += n;
    }
    return filled;
}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    auto *src = reinterpret_cast<TSourceManager *>(cinfo->src);
    size_t n = 0;
    bool failed = false;
    try {
        n = fillWindow(src);
    } catch (const std::exception &e) {
        // Copied out, and the jump made only after the handler has ended.
        TErrorManager *err = errorManager(j_common_ptr(cinfo));
        std::snprintf(err->message, sizeof err->message, "%s", e.what());
        failed = true;
    } catch (...) {
        TErrorManager *err = errorManager(j_common_ptr(cinfo));
        std::snprintf(err->message, sizeof err->message, "%s", "Could not read the JPEG data.");
        failed = true;
    }
    if (failed)
        std::longjmp(errorManager(j_common_ptr(cinfo))->jump, 1);
    if (n == 0) {
        giveFakeEoi(cinfo, src);
        return TRUE;
    }
    src->position += n;
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    auto *src = reinterpret_cast<TSourceManager *>(cinfo->src);
    if (size_t(count) <= src->pub.bytes_in_buffer) {
        src->pub.next_input_byte += count;
        src->pub.bytes_in_buffer -= size_t(count);
        return;
    }
    const size_t beyond = size_t(count) - src->pub.bytes_in_buffer;
    src->pub.bytes_in_buffer = 0;
    src->position += beyond; // the next fill reads from there (or finds the end)
}

// --- scan limit ----------------------------------------------------------------------------

struct TProgress {
    jpeg_progress_mgr pub;
    int maxScans = 0;
};

// A progressive file may hold any number of scans, each a pass over the whole image; a few
// kilobytes of them can keep a decoder busy for minutes.
void progressMonitor(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto *progress = reinterpret_cast<TProgress *>(cinfo->progress);
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > progress->maxScans)
        failWith(cinfo, "JPEG image has too many scans.");
}

// --- decoding ------------------------------------------------------------------------------

// Owns everything one decode needs; releases libjpeg's memory whatever happened.
struct TDecodeJob {
    jpeg_decompress_struct cinfo;
    TErrorManager err;
    TSourceManager src;
    TProgress progress;
    TJpegLimits limits;
    QImage image;

    TDecodeJob()
    {
        std::memset(&cinfo, 0, sizeof cinfo);
        initErrorManager(err);
        cinfo.err = &err.pub;
        src.pub.init_source = initSource;
        src.pub.fill_input_buffer = fillInputBuffer;
        src.pub.skip_input_data = skipInputData;
        src.pub.resync_to_restart = jpeg_resync_to_restart;
        src.pub.term_source = termSource;
        src.pub.next_input_byte = nullptr;
        src.pub.bytes_in_buffer = 0;
        progress.pub.progress_monitor = progressMonitor;
    }
    ~TDecodeJob() { jpeg_destroy_decompress(&cinfo); } // harmless on a struct never created
    TDecodeJob(const TDecodeJob &) = delete;
    TDecodeJob &operator=(const TDecodeJob &) = delete;
};

// Out of line so that the QImage temporaries are gone before the next libjpeg call.
bool allocateImage(TDecodeJob &job)
{
    job.image = QImage(int(job.cinfo.output_width), int(job.cinfo.output_height), QImage::Format_RGB888);
    return !job.image.isNull();
}

bool exceedsLimits(const TDecodeJob &job)
{
    const uint64_t w = job.cinfo.image_width;
    const uint64_t h = job.cinfo.image_height;
    return w > job.limits.MaxSide || h > job.limits.MaxSide || w * h > job.limits.MaxPixels;
}

// Every libjpeg call of a decode is made here. Returns false with err.message set.
bool runDecode(TDecodeJob &job)
{
    if (setjmp(job.err.jump))
        return false;
    jpeg_create_decompress(&job.cinfo);
    job.cinfo.src = &job.src.pub;
    job.cinfo.progress = &job.progress.pub;
    jpeg_read_header(&job.cinfo, TRUE);
    if (exceedsLimits(job)) {
        std::snprintf(job.err.message, sizeof job.err.message,
                      "JPEG image is too large to decode (%u x %u pixels).", job.cinfo.image_width,
                      job.cinfo.image_height);
        return false;
    }
    job.cinfo.out_color_space = JCS_RGB; // grey and YCbCr both come out as RGB
    job.cinfo.dct_method = JDCT_ISLOW;
    job.cinfo.do_fancy_upsampling = TRUE;
    job.cinfo.do_block_smoothing = TRUE;
    job.cinfo.quantize_colors = FALSE;
    job.cinfo.scale_num = 1;
    job.cinfo.scale_denom = 1;
    jpeg_start_decompress(&job.cinfo);
    if (job.cinfo.output_components != 3)
        failWith(j_common_ptr(&job.cinfo), "JPEG image has an unexpected number of colour components.");
    if (!allocateImage(job))
        failWith(j_common_ptr(&job.cinfo), "Not enough memory to decode the JPEG image.");
    while (job.cinfo.output_scanline < job.cinfo.output_height) {
        JSAMPROW row = job.image.scanLine(int(job.cinfo.output_scanline));
        if (jpeg_read_scanlines(&job.cinfo, &row, 1) != 1)
            failWith(j_common_ptr(&job.cinfo), "JPEG is corrupt.");
    }
    jpeg_finish_decompress(&job.cinfo);
    return true;
}

QImage decode(TDecodeJob &job)
{
    if (!runDecode(job))
        throw EModwright(job.err.message);
    return std::move(job.image);
}

// --- encoding ------------------------------------------------------------------------------

// Writes the compressed bytes straight into the QByteArray that is returned, sized up front
// from the image and the quality, so that an ordinary image needs neither a reallocation nor
// a final copy; a larger result doubles it.
struct TDestManager {
    jpeg_destination_mgr pub;
    QByteArray *out = nullptr;
    size_t size = 0;
};

JOCTET *bytesOf(QByteArray &array)
{
    return reinterpret_cast<JOCTET *>(array.data());
}

void initDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<TDestManager *>(cinfo->dest);
    dest->pub.next_output_byte = bytesOf(*dest->out);
    dest->pub.free_in_buffer = size_t(dest->out->size());
}

// Called when the whole buffer is full.
boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<TDestManager *>(cinfo->dest);
    const size_t used = size_t(dest->out->size());
    bool grown = true;
    try {
        dest->out->resize(qsizetype(used * 2));
    } catch (...) {
        grown = false; // the jump is made only after the handler has ended
    }
    if (!grown)
        failWith(j_common_ptr(cinfo), "Not enough memory to encode the JPEG image.");
    dest->pub.next_output_byte = bytesOf(*dest->out) + used;
    dest->pub.free_in_buffer = used;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<TDestManager *>(cinfo->dest);
    dest->size = size_t(dest->out->size()) - dest->pub.free_in_buffer;
}

// About what libjpeg makes of a photograph at this quality, and at least 64 KiB.
qsizetype expectedOutputSize(const QImage &image, int quality)
{
    const double pixels = double(image.width()) * double(image.height());
    const double bytesPerPixel = quality >= 95 ? 1.5 : (quality >= 85 ? 0.6 : 0.35);
    return qsizetype(
        std::min(std::max(pixels * bytesPerPixel, double(kInitialOutputSize)), 256.0 * 1024 * 1024));
}

struct TEncodeJob {
    jpeg_compress_struct cinfo;
    TErrorManager err;
    TDestManager dest;
    QByteArray out;
    QImage rgb; // Format_RGB888
    int quality = 0;

    TEncodeJob()
    {
        std::memset(&cinfo, 0, sizeof cinfo);
        initErrorManager(err);
        cinfo.err = &err.pub;
        dest.pub.init_destination = initDestination;
        dest.pub.empty_output_buffer = emptyOutputBuffer;
        dest.pub.term_destination = termDestination;
    }
    ~TEncodeJob() { jpeg_destroy_compress(&cinfo); }
    TEncodeJob(const TEncodeJob &) = delete;
    TEncodeJob &operator=(const TEncodeJob &) = delete;
};

// Every libjpeg call of an encode is made here. Returns false with err.message set.
bool runEncode(TEncodeJob &job)
{
    if (setjmp(job.err.jump))
        return false;
    jpeg_create_compress(&job.cinfo);
    job.cinfo.dest = &job.dest.pub;
    job.cinfo.image_width = JDIMENSION(job.rgb.width());
    job.cinfo.image_height = JDIMENSION(job.rgb.height());
    job.cinfo.input_components = 3;
    job.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&job.cinfo); // JFIF header, YCbCr, Huffman tables of the standard
    jpeg_set_quality(&job.cinfo, job.quality, TRUE /* limit the tables to baseline */);
    job.cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&job.cinfo, TRUE);
    // Rows a group at a time: libjpeg works on groups of 8 or 16 rows anyway, and one call
    // per row costs more than the row's colour conversion on small images.
    constexpr JDIMENSION kRowsPerCall = 16;
    JSAMPROW rows[kRowsPerCall];
    while (job.cinfo.next_scanline < job.cinfo.image_height) {
        const JDIMENSION first = job.cinfo.next_scanline;
        const JDIMENSION count = std::min(kRowsPerCall, job.cinfo.image_height - first);
        for (JDIMENSION i = 0; i < count; ++i) // libjpeg only reads the rows, whatever the type says
            rows[i] = const_cast<JSAMPLE *>(job.rgb.constScanLine(int(first + i)));
        jpeg_write_scanlines(&job.cinfo, rows, count);
    }
    jpeg_finish_compress(&job.cinfo);
    return true;
}

} // namespace

QImage DecodeJpeg(TByteSource &Source, uint64_t Offset, const TJpegLimits &Limits)
{
    auto job = std::make_unique<TDecodeJob>();
    job->limits = Limits;
    job->progress.maxScans = Limits.MaxScans;
    job->src.source = &Source;
    job->src.position = Offset;
    return decode(*job);
}

QImage DecodeJpeg(std::span<const uint8_t> Bytes, const TJpegLimits &Limits)
{
    // Through the same windows as a file, so that both decode a damaged stream alike.
    TMemorySource memory(Bytes);
    return DecodeJpeg(memory, 0, Limits);
}

QImage ReadJpegFile(const QString &FileName, const TJpegLimits &Limits)
{
    TReadOnlyFile file(FileName);
    const std::optional<uint64_t> offset = JpegDataOffset(file);
    if (!offset)
        throw EModwright("JPEG has no valid header.");
    return DecodeJpeg(file, *offset, Limits);
}

QByteArray EncodeJpeg(const QImage &Image, int Quality)
{
    if (Quality < 1 || Quality > 100)
        throw EModwright("The JPEG quality must be between 1 and 100, not " + std::to_string(Quality) + ".");
    if (Image.isNull() || Image.width() <= 0 || Image.height() <= 0)
        throw EModwright("There is no image to encode as JPEG.");
    auto job = std::make_unique<TEncodeJob>();
    job->quality = Quality;
    job->rgb = Image.format() == QImage::Format_RGB888 ? Image : Image.convertToFormat(QImage::Format_RGB888);
    if (job->rgb.isNull())
        throw EModwright("Not enough memory to convert the image.");
    job->out = QByteArray(expectedOutputSize(job->rgb, Quality), Qt::Uninitialized);
    job->dest.out = &job->out;
    if (!runEncode(*job))
        throw EModwright(job->err.message);
    job->out.truncate(qsizetype(job->dest.size));
    return std::move(job->out);
}

void WriteJpegFile(const QString &FileName, const QImage &Image, int Quality)
{
    WriteFileAtomically(FileName, EncodeJpeg(Image, Quality));
}
