#include "ops/GaussianBlur.h"

#include "ops/BlurConstants.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lumo {

namespace {

constexpr double kE = 2.718281828459045;

// Rows are filtered one at a time. Columns are filtered in groups of 16,
// whose pixels in one row fill a 64-byte cache line, so the vertical passes
// read and write whole cache lines rather than one word of each.
constexpr int kColumnGroup = 16;

// One row, or up to kColumnGroup neighbouring columns, of a rectangle: pixel
// `pos` of line `lane` is first[lane + pos * step] (for a row, lane 0 and
// step 1).
template <bool kRow>
struct Lines {
    uint32_t* first;
    int64_t step;
    int lanes;
    int64_t length;

    int count() const { return kRow ? 1 : lanes; }
    uint32_t& at(int lane, int64_t pos) const {
        return kRow ? first[pos] : first[lane + pos * step];
    }
};

// Calls `body` for the rows [begin, end) of the rectangle, or for groups
// covering its columns [begin, end).
template <bool kRow, class Body>
void forEachLines(uint32_t* pixels, const PixelRegion& r, int64_t begin, int64_t end, Body&& body) {
    uint32_t* origin = pixels + r.rowStart(0);
    const int64_t group = kRow ? 1 : kColumnGroup;
    for (int64_t line = begin; line < end; line += group) {
        Lines<kRow> lines;
        lines.lanes = int(std::min(group, end - line));
        lines.first = kRow ? origin + line * r.bufferWidth : origin + line;
        lines.step = kRow ? 1 : r.bufferWidth;
        lines.length = kRow ? r.width : r.height;
        body(lines);
    }
}

// ---------------------------------------------------------------------------
// Box pass.

// The window's four channel sums of one line. Windows of up to 2^24 pixels
// use 32-bit sums and the scale 2^24 / boxSize: sum * scale stays below
// 256 * 2^24. Longer windows would get a scale of 0 (and sums that wrap), so
// they use 64-bit sums and the finer scale 2^48 / boxSize.
template <class Sum, int Shift>
struct BoxChannels {
    Sum b = 0, g = 0, r = 0, a = 0;

    void add(uint32_t p) {
        b += p & 0xFF;
        g += (p >> 8) & 0xFF;
        r += (p >> 16) & 0xFF;
        a += p >> 24;
    }
    void remove(uint32_t p) {
        b -= p & 0xFF;
        g -= (p >> 8) & 0xFF;
        r -= (p >> 16) & 0xFF;
        a -= p >> 24;
    }
    uint32_t average(Sum scale) const {
        return uint32_t((b * scale) >> Shift) | uint32_t((g * scale) >> Shift) << 8 |
               uint32_t((r * scale) >> Shift) << 16 | uint32_t((a * scale) >> Shift) << 24;
    }
};

// Slides a window of boxSize pixels along each of the lines from position
// `skip` to length - skip - 1, writing the window averages from position
// skip + loc on. The ring (boxSize x lanes pixels) keeps the window's pixels
// as they were before the pass; every output lands at or behind the pixel
// just read.
template <class Sum, int Shift, bool kRow>
void boxLines(const Lines<kRow>& line, int64_t skip, int64_t boxSize, int64_t loc, uint32_t* ring) {
    const Sum scale = Sum((Sum(1) << Shift) / Sum(boxSize));
    const int lanes = line.count();
    BoxChannels<Sum, Shift> sums[kColumnGroup];
    uint32_t previous[kColumnGroup];

    for (int64_t k = 0; k < boxSize; ++k) {
        uint32_t* slot = ring + k * lanes;
        for (int lane = 0; lane < lanes; ++lane) {
            const uint32_t p = line.at(lane, skip + k);
            slot[lane] = p;
            sums[lane].add(p);
        }
    }
    int64_t out = skip + loc;
    for (int lane = 0; lane < lanes; ++lane) {
        previous[lane] = sums[lane].average(scale);
        line.at(lane, out) = previous[lane];
    }

    const int64_t end = line.length - skip;
    int64_t oldest = 0;
    for (int64_t q = skip + boxSize; q < end; ++q) {
        ++out;
        uint32_t* slot = ring + oldest * lanes;
        for (int lane = 0; lane < lanes; ++lane) {
            const uint32_t incoming = line.at(lane, q);
            const uint32_t outgoing = slot[lane];
            // Equal pixels leave the sums, and so the output, as they were.
            if (incoming != outgoing) {
                sums[lane].remove(outgoing);
                sums[lane].add(incoming);
                slot[lane] = incoming;
                previous[lane] = sums[lane].average(scale);
            }
            line.at(lane, out) = previous[lane];
        }
        if (++oldest == boxSize) oldest = 0;
    }
}

// ---------------------------------------------------------------------------
// Convolution pass.

// Products of every channel value with every kernel weight in 16.16 fixed
// point: entry [tap * 256 + v] = v * k_tap, rounded. The weights are sampled
// in single precision and normalised by their single-precision sum.
std::vector<int32_t> kernelTable(int64_t radius, double deviation) {
    const int64_t taps = 2 * radius + 1;
    const double norm = deviation * blurConstants.sqrt2Pi;
    const double twoVariance = 2.0 * deviation * deviation;
    std::vector<float> weights(static_cast<size_t>(taps));
    float sum = 0.0f;
    for (int64_t t = 0; t < taps; ++t) {
        const double i = double(t - radius);
        weights[size_t(t)] = float(std::pow(kE, -(i * i) / twoVariance) / norm);
        sum += weights[size_t(t)];
    }
    const float inverse = 1.0f / sum;
    std::vector<int32_t> table(size_t(taps) * 256);
    for (int64_t t = 0; t < taps; ++t) {
        const float k = weights[size_t(t)] * 65536.0f * inverse;
        int32_t* row = &table[size_t(t) * 256];
        for (int v = 0; v < 256; ++v) row[v] = int32_t(double(float(v) * k) + 0.5);
    }
    return table;
}

// Convolves each of the lines, reading a copy of them taken first (scratch
// holds length x lanes pixels, the lanes of one position side by side). The
// first and last `radius` pixels of each line keep their values.
template <bool kRow>
void convolveLines(const Lines<kRow>& line, int64_t radius, const int32_t* table,
                   uint32_t* scratch) {
    const int lanes = line.count();
    const int64_t length = line.length;
    const int64_t taps = 2 * radius + 1;
    for (int64_t pos = 0; pos < length; ++pos) {
        for (int lane = 0; lane < lanes; ++lane) scratch[pos * lanes + lane] = line.at(lane, pos);
    }
    for (int64_t pos = radius; pos < length - radius; ++pos) {
        for (int lane = 0; lane < lanes; ++lane) {
            const uint32_t* window = scratch + (pos - radius) * lanes + lane;
            uint32_t b = 0, g = 0, r = 0, a = 0;
            const int32_t* row = table;
            for (int64_t t = 0; t < taps; ++t, row += 256, window += lanes) {
                const uint32_t p = *window;
                b += uint32_t(row[p & 0xFF]);
                g += uint32_t(row[(p >> 8) & 0xFF]);
                r += uint32_t(row[(p >> 16) & 0xFF]);
                a += uint32_t(row[p >> 24]);
            }
            // The rounded products of a normalised kernel add up to at most
            // 255.5 in 16.16 for short kernels; long kernels collect enough
            // rounding to pass 255, which must not spill into the next byte.
            b = std::min<uint32_t>(b >> 16, 255);
            g = std::min<uint32_t>(g >> 16, 255);
            r = std::min<uint32_t>(r >> 16, 255);
            a = std::min<uint32_t>(a >> 16, 255);
            line.at(lane, pos) = b | g << 8 | r << 16 | a << 24;
        }
    }
}

template <bool kRow>
void boxPass(uint32_t* pixels, const PixelRegion& region, int64_t skipAlong, int64_t skipAcross,
             int64_t lineCount, const BoxPass& pass) {
    const int64_t group = kRow ? 1 : std::min<int64_t>(lineCount, kColumnGroup);
    std::vector<uint32_t> ring(size_t(pass.boxSize) * size_t(group));
    forEachLines<kRow>(
        pixels, region, skipAcross, skipAcross + lineCount, [&](const Lines<kRow>& lines) {
            if (pass.boxSize <= (int64_t(1) << 24)) {
                boxLines<uint32_t, 24>(lines, skipAlong, pass.boxSize, pass.loc, ring.data());
            } else {
                boxLines<uint64_t, 48>(lines, skipAlong, pass.boxSize, pass.loc, ring.data());
            }
        });
}

template <bool kRow>
void convolutionPass(uint32_t* pixels, const PixelRegion& region, int64_t length, int64_t lineCount,
                     int64_t radius, double deviation) {
    const std::vector<int32_t> table = kernelTable(radius, deviation);
    const int64_t group = kRow ? 1 : std::min<int64_t>(lineCount, kColumnGroup);
    std::vector<uint32_t> scratch(size_t(length) * size_t(group));
    forEachLines<kRow>(pixels, region, 0, lineCount, [&](const Lines<kRow>& lines) {
        convolveLines(lines, radius, table.data(), scratch.data());
    });
}

void planAxis(AxisPasses& axis, double deviation, int64_t extent, int64_t box, int64_t across,
              bool vertical) {
    if (extent <= 0) return;
    if (box == 0) {
        axis.radius = extent;
        axis.deviation = deviation;
        return;
    }
    const int64_t half = box / 2;
    const BoxPass even[3] = {
        {0, 0, box, half}, {half, 0, box, half - 1}, {box - 1, 0, box + 1, half}};
    const BoxPass odd[3] = {{0, 0, box, half}, {half, 0, box, half}, {box - 2, 0, box, half}};
    const BoxPass* passes = box % 2 == 0 ? even : odd;
    axis.boxCount = 3;
    for (int k = 0; k < 3; ++k) {
        BoxPass pass = passes[k];
        if (vertical) {
            pass.skipY = pass.skipX;
            pass.skipX = across;
        }
        axis.boxes[k] = pass;
    }
}

// High quality is kept up to this deviation (a kernel of at most about
// 400 taps); beyond it the box passes run, whose cost does not grow with the
// deviation, so that one call stays linear in the pixels it touches.
constexpr double kMaxConvolutionDeviation = 64.0;

bool usesBoxes(double deviation, bool highQuality) {
    return (!highQuality || deviation > kMaxConvolutionDeviation) &&
           deviation >= kBoxDeviationLimit && std::isfinite(deviation);
}

}  // namespace

int64_t blurBoxSize(double deviation, bool highQuality) {
    if (!usesBoxes(deviation, highQuality)) return 0;
    const double size = std::floor(deviation * blurConstants.boxScale + 0.5);
    return size < double(kUnfittableBox) ? int64_t(size) : kUnfittableBox;
}

int64_t blurSurround(double deviation, bool highQuality, int64_t limit) {
    // NaN fails every comparison; negative and infinite deviations would
    // never reach the area threshold, and zero (either sign) has no kernel.
    if (!(deviation > 0.0) || !std::isfinite(deviation)) return 0;
    if (usesBoxes(deviation, highQuality)) {
        const int64_t d = blurBoxSize(deviation, highQuality);
        return d % 2 == 0 ? d / 2 + d - 1 : d / 2 + d - 2;
    }
    limit = std::max<int64_t>(limit, 0);
    const double norm = deviation * blurConstants.sqrt2Pi;
    const double twoVariance = 2.0 * deviation * deviation;
    // Half the centre weight to start with, so the centre counts one and a
    // half times once the loop has added it.
    double area = 0.5 / norm;
    int64_t i = 0;
    while (area < kKernelAreaThreshold) {
        if (i >= limit) return limit + 1;
        const double offset = double(i);
        area += std::pow(kE, -(offset * offset) / twoVariance) / norm;
        ++i;
    }
    return i;
}

BlurPlan planBlur(double deviationX, double deviationY, bool highQuality, int32_t width,
                  int32_t height) {
    BlurPlan plan;
    // A convolution of radius r changes only lines of 2r + 1 pixels or more,
    // so the extent need not be followed past half a line.
    const int64_t sx = blurSurround(deviationX, highQuality, (int64_t(width) - 1) / 2);
    const int64_t sy = blurSurround(deviationY, highQuality, (int64_t(height) - 1) / 2);
    plan.boxX = blurBoxSize(deviationX, highQuality);
    plan.boxY = blurBoxSize(deviationY, highQuality);
    if (sx > 0) {
        const int64_t d = plan.boxX;
        plan.skipX = d == 0 ? sx : d % 2 == 0 ? d / 2 + d - 1 : d / 2 + d - 2;
    }
    planAxis(plan.horizontal, deviationX, sx, plan.boxX, 0, false);
    planAxis(plan.vertical, deviationY, sy, plan.boxY, plan.skipX, true);
    return plan;
}

void runBoxPass(uint32_t* pixels, const PixelRegion& region, const BoxPass& pass, bool vertical) {
    const int64_t along = vertical ? region.height : region.width;
    const int64_t across = vertical ? region.width : region.height;
    const int64_t skipAlong = vertical ? pass.skipY : pass.skipX;
    const int64_t skipAcross = vertical ? pass.skipX : pass.skipY;
    if (pass.boxSize <= 0 || pass.loc < 0 || pass.loc >= pass.boxSize || skipAlong < 0 ||
        skipAcross < 0)
        return;
    if (along < pass.boxSize + 2 * skipAlong || across < 2 * skipAcross) return;

    const int64_t lines = across - 2 * skipAcross;
    if (lines <= 0) return;
    if (vertical) {
        boxPass<false>(pixels, region, skipAlong, skipAcross, lines, pass);
    } else {
        boxPass<true>(pixels, region, skipAlong, skipAcross, lines, pass);
    }
}

void runConvolutionPass(uint32_t* pixels, const PixelRegion& region, int64_t radius,
                        double deviation, bool vertical) {
    const int64_t length = vertical ? region.height : region.width;
    const int64_t lines = vertical ? region.width : region.height;
    if (radius <= 0 || lines <= 0 || length < 2 * radius + 1) return;
    if (vertical) {
        convolutionPass<false>(pixels, region, length, lines, radius, deviation);
    } else {
        convolutionPass<true>(pixels, region, length, lines, radius, deviation);
    }
}

void gaussianBlur(uint32_t* pixels, int64_t pixelCount, PixelRegion region, double deviationX,
                  double deviationY, bool highQuality) {
    if (pixels == nullptr || !fitRegion(region, pixelCount)) return;
    const BlurPlan plan =
        planBlur(deviationX, deviationY, highQuality, region.width, region.height);
    const AxisPasses* axes[2] = {&plan.horizontal, &plan.vertical};
    for (int k = 0; k < 2; ++k) {
        const AxisPasses& axis = *axes[k];
        const bool vertical = k == 1;
        if (axis.radius > 0) {
            runConvolutionPass(pixels, region, axis.radius, axis.deviation, vertical);
        }
        for (int b = 0; b < axis.boxCount; ++b) runBoxPass(pixels, region, axis.boxes[b], vertical);
    }
}

}  // namespace lumo
