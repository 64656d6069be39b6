// lumo_cairo_bench: the scenes of CompareScenes.h drawn with lumo (through
// its exported entry points) and with Cairo in the same process. For every
// scene, style and size both engines get warm-up batches and then timed
// batches of the same 1000 operations (100 for the images), alternating batch
// by batch and taking turns at going first; the canvas is cleared to opaque
// white before every batch, outside the timing. Before timing, one operation
// is drawn by both and the pictures compared, so that a scene one engine
// draws wrongly (or not at all) is flagged instead of giving a fast number.
//
// Prints time per 1000 operations (median of the timed batches), the ratio
// Cairo / lumo (above 1: lumo is faster), the median ratio over sizes per
// scene and style, and writes the rows as CSV.
//
//   lumo_cairo_bench [--batches N] [--warmup N] [--ops N] [--target-ms N]
//                    [--sizes 8,32,...] [--filter TEXT[,TEXT...]] [--clock cpu|wall]
//                    [--csv PATH | PATH]
//
// Batches are timed on the thread's CPU clock by default, which time spent
// waiting for a core on a shared machine does not inflate; --clock wall takes
// the wall clock instead.
//
// Drawing all 1000 operations in every batch takes about half an hour on two
// cores (the 200-curve paths and the scaled images are slow in both engines),
// so by default a batch draws the first n of them, n being the largest of
// 1000, 500, 200, 100, 50, 20, 10, 5, 2, 1 at which the slower engine takes
// about --target-ms per batch, judged from two short untimed trials; both
// engines draw the same n. --ops N draws a fixed number instead.
#include "CairoSceneDrawer.h"
#include "CompareScenes.h"
#include "LumoSceneDrawer.h"

#include <time.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace lumo_bench;

constexpr uint32_t kWhite = 0xFFFFFFFFu;
// The largest mean channel difference, over the pixels either engine
// touched, that still counts as the same picture: antialiasing, filters and
// gradient interpolation differ by a few levels, a missing or misplaced
// shape by far more. Tiny shapes under a texture reach about 14 (the two
// engines sample it at slightly different places).
constexpr double kSamePicture = 16.0;

struct Options {
    int batches = 5;
    int warmup = 2;
    int operations = 0;  // per batch of a shape scene, images a tenth; 0: chosen by targetMs
    int targetMs = 50;
    std::vector<int> sizes = {8, 32, 128, 256};
    std::vector<std::string> filters;
    std::string csv = "build/bench-cairo.csv";
    bool wallClock = false;
};

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, ',')) {
        if (!part.empty()) parts.push_back(part);
    }
    return parts;
}

void usage() {
    std::printf(
        "usage: lumo_cairo_bench [--batches N] [--warmup N] [--ops N] [--target-ms N]\n"
        "                        [--sizes 8,32,128,256] [--filter TEXT[,TEXT...]]\n"
        "                        [--clock cpu|wall] [--csv PATH | PATH]\n"
        "  --batches  timed batches per engine and row (default 5)\n"
        "  --warmup   untimed batches per engine before them (default 2)\n"
        "  --ops      operations per shape batch, the first N of the 1000 (images draw a\n"
        "             tenth); times are still given per 1000\n"
        "  --target-ms  without --ops, the batch time that chooses the operations per\n"
        "             batch (default 50)\n"
        "  --sizes    box sizes of the shape scenes (the images have one size)\n"
        "  --filter   run the rows whose \"scene/style\" contains one of the texts\n"
        "  --clock    cpu: the thread's CPU time (default), wall: the wall clock\n"
        "  --csv      where the rows go as CSV (default build/bench-cairo.csv)\n");
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            usage();
            std::exit(0);
        } else if (arg == "--batches" && hasValue) {
            options.batches = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--warmup" && hasValue) {
            options.warmup = std::max(0, std::atoi(argv[++i]));
        } else if (arg == "--ops" && hasValue) {
            options.operations = std::min(kOperations, std::max(10, std::atoi(argv[++i])));
        } else if (arg == "--target-ms" && hasValue) {
            options.targetMs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--sizes" && hasValue) {
            options.sizes.clear();
            for (const std::string& s : split(argv[++i])) {
                const int size = std::atoi(s.c_str());
                if (size < 1 || size > kCanvas) return false;
                options.sizes.push_back(size);
            }
            if (options.sizes.empty()) return false;
        } else if (arg == "--filter" && hasValue) {
            options.filters = split(argv[++i]);
        } else if (arg == "--clock" && hasValue) {
            const std::string clock = argv[++i];
            if (clock != "cpu" && clock != "wall") return false;
            options.wallClock = clock == "wall";
        } else if (arg == "--csv" && hasValue) {
            options.csv = argv[++i];
        } else if (!arg.empty() && arg[0] != '-') {
            options.csv = arg;
        } else {
            return false;
        }
    }
    return true;
}

bool selected(const Options& options, const std::string& name) {
    if (options.filters.empty()) return true;
    for (const std::string& f : options.filters) {
        if (name.find(f) != std::string::npos) return true;
    }
    return false;
}

// What the one-operation comparison found.
struct Check {
    long lumoPixels = 0;   // pixels lumo changed from white
    long cairoPixels = 0;  // the same for Cairo
    double meanDelta = 0;  // mean channel difference over the pixels either changed
    bool same() const {
        // The two engines may touch a few pixels more or less along the edges, not a
        // quarter of the shape.
        const long gap = std::abs(lumoPixels - cairoPixels);
        const bool similarArea = gap <= 16 || gap * 4 <= std::max(lumoPixels, cairoPixels);
        return lumoPixels > 0 && cairoPixels > 0 && similarArea && meanDelta <= kSamePicture;
    }
};

Check compare(const std::vector<uint32_t>& lumo, const std::vector<uint32_t>& cairo) {
    Check check;
    long touched = 0;
    double sum = 0;
    for (size_t i = 0; i < lumo.size() && i < cairo.size(); ++i) {
        check.lumoPixels += lumo[i] != kWhite;
        check.cairoPixels += cairo[i] != kWhite;
        if (lumo[i] == kWhite && cairo[i] == kWhite) continue;
        ++touched;
        for (int shift = 0; shift < 32; shift += 8) {
            sum += std::abs(int(lumo[i] >> shift & 0xFF) - int(cairo[i] >> shift & 0xFF));
        }
    }
    check.meanDelta = touched > 0 ? sum / (4.0 * touched) : 0.0;
    return check;
}

struct Row {
    std::string scene, style;
    int size;
    size_t operations;
    double cairoMs, lumoMs;
    Check check;
    double ratio() const { return lumoMs > 0 ? cairoMs / lumoMs : 0.0; }
};

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

class Runner {
public:
    Runner(const Options& options, LumoSceneDrawer& lumo, CairoSceneDrawer& cairo)
        : options_(options), lumo_(lumo), cairo_(cairo) {}

    Row run(const Batch& batch, Style style) {
        Row row{batch.scene->name, styleName(style), batch.size, 0, 0, 0, {}};
        lumo_.prepare(batch, style);
        cairo_.prepare(batch, style);

        lumo_.clear();
        cairo_.clear();
        lumo_.draw(0, 1);
        cairo_.draw(0, 1);
        row.check = compare(lumo_.read(), cairo_.read());

        const size_t n = operationsPerBatch(batch);
        row.operations = n;
        std::vector<double> lumoTimes, cairoTimes;
        for (int b = 0; b < options_.warmup + options_.batches; ++b) {
            const bool timed = b >= options_.warmup;
            auto lumoBatch = [&] {
                lumo_.clear();
                const double ms = time([&] { lumo_.draw(0, n); });
                if (timed) lumoTimes.push_back(ms * 1000.0 / double(n));
            };
            auto cairoBatch = [&] {
                cairo_.clear();
                const double ms = time([&] { cairo_.draw(0, n); });
                if (timed) cairoTimes.push_back(ms * 1000.0 / double(n));
            };
            if (b % 2 == 0) {
                lumoBatch();
                cairoBatch();
            } else {
                cairoBatch();
                lumoBatch();
            }
        }
        row.lumoMs = median(lumoTimes);
        row.cairoMs = median(cairoTimes);
        return row;
    }

private:
    // A fixed count with --ops; otherwise the largest of the batch sizes at
    // which the slower engine takes about the target time, from the second of
    // two trials of ten operations.
    size_t operationsPerBatch(const Batch& batch) {
        const size_t all = batch.operations.size();
        if (options_.operations > 0) {
            const int fixed = imageScene(batch.scene->kind) ? std::max(1, options_.operations / 10)
                                                            : options_.operations;
            return std::min(all, size_t(fixed));
        }
        const size_t trial = std::min<size_t>(10, all);
        double msPerOperation = 0;
        for (int i = 0; i < 2; ++i) {
            lumo_.clear();
            cairo_.clear();
            msPerOperation = std::max(time([&] { lumo_.draw(0, trial); }),
                                      time([&] { cairo_.draw(0, trial); })) /
                             double(trial);
        }
        for (size_t n : {1000, 500, 200, 100, 50, 20, 10, 5, 2, 1}) {
            if (n <= all && double(n) * msPerOperation <= options_.targetMs) return n;
        }
        return 1;
    }

    // Milliseconds `work` takes on the chosen clock.
    template <class Work>
    double time(Work work) const {
        const double start = now();
        work();
        return now() - start;
    }

    double now() const {
        timespec t{};
        clock_gettime(options_.wallClock ? CLOCK_MONOTONIC : CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
    }

    const Options& options_;
    LumoSceneDrawer& lumo_;
    CairoSceneDrawer& cairo_;
};

void printRow(const Row& row) {
    std::printf("%-18s %-16s %5d %5zu %12.3f %12.3f %8.2f   %6.2f%s\n", row.scene.c_str(),
                row.style.c_str(), row.size, row.operations, row.cairoMs, row.lumoMs, row.ratio(),
                row.check.meanDelta, row.check.same() ? "" : "  <-- pictures differ");
    if (!row.check.same()) {
        std::printf(
            "warning: %s/%s at %d: one operation changed %ld pixels with lumo and %ld with "
            "Cairo, mean channel difference %.2f (bound %.0f)\n",
            row.scene.c_str(), row.style.c_str(), row.size, row.check.lumoPixels,
            row.check.cairoPixels, row.check.meanDelta, kSamePicture);
    }
    std::fflush(stdout);
}

void printMedians(const std::vector<Row>& rows) {
    std::printf("\nMedian ratio Cairo / lumo over sizes (above 1: lumo is faster)\n");
    std::printf("%-18s %-16s %8s %6s\n", "scene", "style", "ratio", "sizes");
    std::vector<std::pair<std::string, std::string>> order;
    std::map<std::pair<std::string, std::string>, std::vector<double>> ratios;
    for (const Row& row : rows) {
        const auto key = std::make_pair(row.scene, row.style);
        if (ratios.find(key) == ratios.end()) order.push_back(key);
        ratios[key].push_back(row.ratio());
    }
    for (const auto& key : order) {
        const std::vector<double>& values = ratios[key];
        std::printf("%-18s %-16s %8.2f %6zu\n", key.first.c_str(), key.second.c_str(),
                    median(values), values.size());
    }
}

// Opens the CSV file for writing, making its folder if need be.
FILE* openCsv(const std::string& path) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    return std::fopen(path.c_str(), "w");
}

bool writeCsv(FILE* file, const std::vector<Row>& rows) {
    if (file == nullptr) return false;
    std::fprintf(file,
                 "scene,style,size,cairo_ms_per_1000,lumo_ms_per_1000,ratio_cairo_lumo,"
                 "check_mean_delta,check_ok\n");
    for (const Row& row : rows) {
        std::fprintf(file, "%s,%s,%d,%.4f,%.4f,%.4f,%.3f,%d\n", row.scene.c_str(),
                     row.style.c_str(), row.size, row.cairoMs, row.lumoMs, row.ratio(),
                     row.check.meanDelta, row.check.same() ? 1 : 0);
    }
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        usage();
        return 2;
    }
    // Opened first, so that a bad path fails before the long run.
    FILE* csv = openCsv(options.csv);
    if (csv == nullptr) {
        std::fprintf(stderr, "lumo_cairo_bench: cannot write %s\n", options.csv.c_str());
        return 1;
    }
    LumoSceneDrawer lumo;
    if (!lumo.valid()) {
        std::fprintf(stderr, "lumo_cairo_bench: the library could not make its canvas\n");
        return 1;
    }
    CairoSceneDrawer cairo(lumo.texture(), lumo.image());
    if (!cairo.valid()) {
        std::fprintf(stderr, "lumo_cairo_bench: Cairo could not make its surfaces\n");
        return 1;
    }
    std::printf(
        "lumo vs Cairo %s: 512x512 ARGB32, source-over, antialiased; %d warm-up + %d "
        "timed batches per engine, alternating, of %s;\nmedian ms per 1000 "
        "operations (%s).\n"
        "Images: Cairo CAIRO_FILTER_BILINEAR / CAIRO_FILTER_BEST (bicubic row), lumo "
        "image-filter hint 1 / 2.\n\n",
        cairo_version_string(), options.warmup, options.batches,
        options.operations > 0
            ? (std::to_string(options.operations) + " operations (images a tenth)").c_str()
            : (std::to_string(options.targetMs) + " ms (ops: operations drawn)").c_str(),
        options.wallClock ? "wall clock" : "thread CPU time");
    std::printf("%-18s %-16s %5s %5s %12s %12s %8s   %6s\n", "scene", "style", "size", "ops",
                "cairo ms", "lumo ms", "c/lumo", "check");

    Runner runner(options, lumo, cairo);
    std::vector<Row> rows;
    const Style shapeStyles[] = {Style::Solid, Style::LinearGradient, Style::RadialGradient,
                                 Style::TextureNN, Style::TextureBilinear};
    for (const SceneInfo& scene : sceneTable()) {
        if (imageScene(scene.kind)) {
            if (!selected(options, std::string(scene.name) + "/Image")) continue;
            const Batch batch = generateBatch(scene, kImageSize);
            rows.push_back(runner.run(batch, Style::Image));
            printRow(rows.back());
            continue;
        }
        for (const int size : options.sizes) {
            Batch batch;
            for (const Style style : shapeStyles) {
                if (!selected(options, std::string(scene.name) + "/" + styleName(style))) continue;
                if (batch.scene == nullptr) batch = generateBatch(scene, size);
                rows.push_back(runner.run(batch, style));
                printRow(rows.back());
            }
        }
    }
    printMedians(rows);
    if (!writeCsv(csv, rows)) {
        std::fprintf(stderr, "lumo_cairo_bench: cannot write %s\n", options.csv.c_str());
        return 1;
    }
    std::printf("\nCSV: %s\n", options.csv.c_str());
    return 0;
}
