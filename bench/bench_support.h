#pragma once
// Shared by the preview benchmarks: a work copy of the program folder on the
// build tree's own disk, wall and process CPU clocks, min / median figures,
// and the codec floor: the JPEG work a pass has to do, done with libjpeg
// alone, so each run prints how far the whole pass lies from it.
#include <jpeglib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace bench {

namespace fs = std::filesystem;

// A fresh copy of the built program folder in bench/work-<name>/ of the build
// tree (TESSARO_BENCH_DIR names another parent folder, e.g. a RAM disk, to
// compare). The passes write their work files there.
inline std::string WorkFolder(const std::string& name) {
    const char* parent = std::getenv("TESSARO_BENCH_DIR");
    const fs::path base = parent && *parent ? fs::path(parent) : fs::path(TESSARO_BENCH_BUILD_DIR);
    const fs::path dir = base / ("work-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(TESSARO_PROGRAM_DIR, dir, fs::copy_options::recursive | fs::copy_options::skip_symlinks);
    // Files changed within the last seconds are compared by their bytes on
    // every pass; the designer's support pictures are older than that.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    return dir.string() + "/";
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline double Seconds(clockid_t clock) {
    timespec t{};
    ::clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Wall and whole-process CPU time of one run, in milliseconds.
struct Sample {
    double Wall = 0, Cpu = 0;
};

template <class F> Sample Time(F&& f) {
    const double w0 = Seconds(CLOCK_MONOTONIC), c0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    f();
    return {(Seconds(CLOCK_MONOTONIC) - w0) * 1e3, (Seconds(CLOCK_PROCESS_CPUTIME_ID) - c0) * 1e3};
}

inline double Min(std::vector<double> v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }
inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs `ours` and `floor` alternately, one of each per iteration, reports the
// wall time of `ours` as the iteration time (use ->UseManualTime()) and sets
// counters: ours and floor wall / CPU (min and median, ms) and the ratios of
// the medians.
template <class Ours, class Floor>
void SideBySide(benchmark::State& state, Ours&& ours, Floor&& floor) {
    std::vector<double> ow, oc, fw, fc;
    for (auto _ : state) {
        const Sample o = Time(ours);
        state.SetIterationTime(o.Wall / 1e3);
        state.PauseTiming();
        const Sample f = Time(floor);
        state.ResumeTiming();
        ow.push_back(o.Wall);
        oc.push_back(o.Cpu);
        fw.push_back(f.Wall);
        fc.push_back(f.Cpu);
    }
    state.counters["wall_min"] = Min(ow);
    state.counters["wall_med"] = Median(ow);
    state.counters["cpu_med"] = Median(oc);
    state.counters["floor_wall_min"] = Min(fw);
    state.counters["floor_wall_med"] = Median(fw);
    state.counters["floor_cpu_med"] = Median(fc);
    state.counters["ratio_wall"] = Median(fw) > 0 ? Median(ow) / Median(fw) : 0;
    state.counters["ratio_cpu"] = Median(fc) > 0 ? Median(oc) / Median(fc) : 0;
}

// Wall and CPU of `ours` alone (min / median, ms).
template <class Ours> void Alone(benchmark::State& state, Ours&& ours) {
    std::vector<double> ow, oc;
    for (auto _ : state) {
        const Sample o = Time(ours);
        state.SetIterationTime(o.Wall / 1e3);
        ow.push_back(o.Wall);
        oc.push_back(o.Cpu);
    }
    state.counters["wall_min"] = Min(ow);
    state.counters["wall_med"] = Median(ow);
    state.counters["cpu_med"] = Median(oc);
}

// --- The codec floor: libjpeg alone, RGB buffers in memory. ---

struct Rgb {
    int Width = 0, Height = 0;
    std::vector<unsigned char> Pixels; // 3 bytes a pixel, rows top down
};

inline void Fail(j_common_ptr c) {
    char text[JMSG_LENGTH_MAX];
    (*c->err->format_message)(c, text);
    throw std::runtime_error(text);
}

inline Rgb Decode(const std::string& data) {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    err.error_exit = Fail;
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, reinterpret_cast<const unsigned char*>(data.data()), (unsigned long)data.size());
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    Rgb out{int(d.output_width), int(d.output_height), {}};
    out.Pixels.resize(std::size_t(out.Width) * out.Height * 3);
    while (d.output_scanline < d.output_height) {
        unsigned char* row = out.Pixels.data() + std::size_t(d.output_scanline) * out.Width * 3;
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return out;
}

inline std::string Encode(const Rgb& img, int quality) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    err.error_exit = Fail;
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = JDIMENSION(img.Width);
    c.image_height = JDIMENSION(img.Height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        auto* row = const_cast<unsigned char*>(img.Pixels.data() + std::size_t(c.next_scanline) * img.Width * 3);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::string data(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return data;
}

// A 176 x h picture with a horizontal gradient, like the bars the pass encodes.
inline Rgb Gradient(int height) {
    Rgb img{176, height, std::vector<unsigned char>(std::size_t(176) * height * 3)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 176; ++x) {
            unsigned char* p = img.Pixels.data() + (std::size_t(y) * 176 + x) * 3;
            p[0] = (unsigned char)(x * 255 / 175);
            p[1] = (unsigned char)(64 + y);
            p[2] = (unsigned char)(255 - x * 255 / 175);
        }
    return img;
}

} // namespace bench
