// JPEG encode and decode speed in megapixels per second, ours beside libjpeg called bare
// with the same settings (integer slow DCT, fancy upsampling, baseline, same quality), so
// that the cost of our error handling, source and destination managers shows.

#include "formats/JpegCodec.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

namespace {

constexpr int Width = 1600;
constexpr int Height = 1200;

// Photograph-like content: smooth shading with fine texture on top.
const QImage &photo()
{
    static const QImage image = [] {
        QImage img(Width, Height, QImage::Format_RGB888);
        uint32_t state = 1;
        for (int y = 0; y < Height; ++y) {
            uchar *row = img.scanLine(y);
            for (int x = 0; x < Width; ++x) {
                state = state * 1664525u + 1013904223u;
                const int grain = int(state >> 28) - 8;
                row[3 * x + 0] = uchar(std::clamp(int(128 + 100 * std::sin(x * 0.01)) + grain, 0, 255));
                row[3 * x + 1] = uchar(std::clamp(int(128 + 100 * std::cos(y * 0.013)) + grain, 0, 255));
                row[3 * x + 2] = uchar(std::clamp((x + y) * 255 / (Width + Height) + grain, 0, 255));
            }
        }
        return img;
    }();
    return image;
}

std::vector<unsigned char> encodeBare(const QImage &image, int quality)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uchar *>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> result(out, out + size);
    std::free(out);
    return result;
}

std::vector<unsigned char> decodeBare(const std::vector<unsigned char> &jpeg)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    cinfo.do_block_smoothing = TRUE;
    jpeg_start_decompress(&cinfo);
    const size_t stride = size_t(cinfo.output_width) * 3;
    std::vector<unsigned char> pixels(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return pixels;
}

void setRate(benchmark::State &state)
{
    state.counters["MP/s"] =
        benchmark::Counter(double(Width) * Height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_EncodeOurs(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeJpeg(photo(), int(state.range(0))));
    setRate(state);
}

void BM_EncodeBare(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeBare(photo(), int(state.range(0))));
    setRate(state);
}

void BM_DecodeOurs(benchmark::State &state)
{
    const std::vector<unsigned char> jpeg = encodeBare(photo(), int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeJpeg(std::span<const uint8_t>(jpeg.data(), jpeg.size())));
    setRate(state);
}

void BM_DecodeBare(benchmark::State &state)
{
    const std::vector<unsigned char> jpeg = encodeBare(photo(), int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeBare(jpeg));
    setRate(state);
}

} // namespace

// 98 is the program's default quality for a mod; 75 is libjpeg's.
BENCHMARK(BM_EncodeOurs)->Arg(75)->Arg(98)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeBare)->Arg(75)->Arg(98)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeOurs)->Arg(75)->Arg(98)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBare)->Arg(75)->Arg(98)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
