#pragma once

// What the tests comparing the library's image span generators with AGG's
// share: random premultiplied images, random placements, the spans around
// them, and a pixel-for-pixel comparison of two generators.
#include "span/ImageAccessors.h"
#include "span/ImageRowSource.h"

#include <gtest/gtest.h>

#include <agg_span_interpolator_linear.h>
#include <agg_trans_affine.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace lumo::spancheck {

using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;

// A random premultiplied image. Kept as 32-bit premultiplied ARGB it is read
// in place; as straight ARGB drawn through filters its rows are converted
// into slots, which exercises the row cache.
struct RandomImage {
    RandomImage(int w, int h, std::mt19937& random, bool converted) : words(size_t(w) * h) {
        for (uint32_t& word : words) {
            const uint32_t a = pick(random);
            const uint32_t r = pick(random) % (a + 1), g = pick(random) % (a + 1);
            const uint32_t b = pick(random) % (a + 1);
            word = converted ? (a << 24) | (pick(random) << 16) | (pick(random) << 8) | pick(random)
                             : (a << 24) | (r << 16) | (g << 8) | b;
        }
        image.kind = converted ? IMAGE_INT_ARGB : IMAGE_INT_ARGB_PRE;
        image.alpha = converted ? 0 : 1;
        image.width = w;
        image.height = h;
        image.bytesPerLine = w * 4;
        image.data = reinterpret_cast<const uint8_t*>(words.data());
    }
    // Bytes biased to the extremes, where rounding slips show.
    static uint32_t pick(std::mt19937& random) {
        const uint32_t v = random() % 300;
        return v < 256 ? v : (v < 278 ? 0 : 255);
    }
    std::vector<uint32_t> words;
    ImageDescriptor image;
};

// One side of a comparison: its own rows, accessor and interpolator.
template <class Accessor>
struct Side {
    Side(const ImageDescriptor& image, const agg::trans_affine& deviceToImage)
        : rows(image, 1.0, nullptr, true),
          pixels(rows),
          accessor(pixels),
          transform(deviceToImage),
          interpolator(transform) {}
    ImageRowSource rows;
    RowSourcePixels pixels;
    Accessor accessor;
    agg::trans_affine transform;
    Interpolator interpolator;
};

struct Span {
    int x, y;
    unsigned len;
};

// The first pixel that differs, or an empty string.
template <class Mine, class Agg>
inline std::string firstDifference(Mine& mine, Agg& agg, const std::vector<Span>& spans) {
    std::vector<agg::rgba8> a, b;
    for (const Span& s : spans) {
        a.assign(s.len, agg::rgba8(1, 2, 3, 4));
        b.assign(s.len, agg::rgba8(5, 6, 7, 8));
        mine.generate(a.data(), s.x, s.y, s.len);
        agg.generate(b.data(), s.x, s.y, s.len);
        for (unsigned i = 0; i < s.len; ++i) {
            const agg::rgba8 &p = a[i], &q = b[i];
            if (p.r != q.r || p.g != q.g || p.b != q.b || p.a != q.a) {
                return "span (" + std::to_string(s.x) + ", " + std::to_string(s.y) + ", " +
                       std::to_string(s.len) + ") pixel " + std::to_string(i) + ": " +
                       std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) +
                       "," + std::to_string(p.a) + " instead of " + std::to_string(q.r) + "," +
                       std::to_string(q.g) + "," + std::to_string(q.b) + "," + std::to_string(q.a);
            }
        }
    }
    return "";
}

// A random placement: scale (up, down, mirrored, huge or tiny), rotation or
// shear now and then, and a fractional offset that may leave the image partly
// outside the device area the spans cover.
inline agg::trans_affine randomPlacement(std::mt19937& random, int w, int h) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    static const double scales[] = {1.0, 1.7, 0.77, 0.3, 2.5, 3.99, 0.05, 37.0, 0.004, 250.0};
    const double sx = scales[random() % 10] * (random() % 4 == 0 ? -1 : 1);
    const double sy =
        (random() % 3 == 0 ? scales[random() % 10] : std::fabs(sx)) * (random() % 4 == 0 ? -1 : 1);
    agg::trans_affine t = agg::trans_affine_translation(-w * unit(random), -h * unit(random));
    t *= agg::trans_affine_scaling(sx, sy);
    switch (random() % 4) {
        case 0:
            t *= agg::trans_affine_rotation(unit(random) * 6.283185307179586);
            break;
        case 1:
            t *= agg::trans_affine_skewing(unit(random) - 0.5, 0.0);
            break;
        default:
            break;  // scaled and translated only: rows stay put along a span
    }
    t *= agg::trans_affine_translation(unit(random) * 60.0 - 10.0, unit(random) * 60.0 - 10.0);
    return t;
}

// Spans over the device area the placed image covers and a margin around it,
// whole rows starting left and right of the image, long rows far beyond it
// and short spans anywhere.
inline std::vector<Span> spansAround(const agg::trans_affine& imageToDevice, int w, int h,
                                     std::mt19937& random) {
    double xs[4] = {0, double(w), 0, double(w)}, ys[4] = {0, 0, double(h), double(h)};
    for (int i = 0; i < 4; ++i) imageToDevice.transform(&xs[i], &ys[i]);
    auto limit = [](double v) { return int(std::max(-100.0, std::min(200.0, v))); };
    const int left = limit(std::floor(*std::min_element(xs, xs + 4))) - 3;
    const int right = limit(std::ceil(*std::max_element(xs, xs + 4))) + 3;
    const int top = limit(std::floor(*std::min_element(ys, ys + 4))) - 3;
    const int bottom = limit(std::ceil(*std::max_element(ys, ys + 4))) + 3;
    std::vector<Span> spans;
    const int rowStep = std::max(1, (bottom - top) / 40);
    for (int y = top; y <= bottom; y += rowStep) {
        spans.push_back({left, y, unsigned(right - left + 1)});
        const int from = left + int(random() % unsigned(right - left + 1));
        spans.push_back({from, y, unsigned(right - from + 1)});
    }
    // The rows of a rectangle: one start and length on consecutive rows, as
    // generators that keep the columns of the span before see them.
    const int from = left + int(random() % unsigned(right - left + 1));
    const int rectTop = top + int(random() % unsigned(bottom - top + 1));
    for (int y = rectTop; y < rectTop + 8; ++y)
        spans.push_back({from, y, unsigned(right - from + 1)});
    // Long spans far around the image, over the tiles of wrapped images.
    for (int i = 0; i < 6; ++i) spans.push_back({-100, -100 + int(random() % 300), 300});
    for (int i = 0; i < 40; ++i) {
        const int x = left + int(random() % unsigned(right - left + 1));
        const int y = top + int(random() % unsigned(bottom - top + 1));
        spans.push_back({x, y, 1 + unsigned(random() % 6)});
    }
    return spans;
}

// Calls compare(deviceToImage, spans, what) for `placements` random
// placements of a w x h image and the spans around each, until a check fails.
template <class Compare>
void forRandomPlacements(int w, int h, std::mt19937& random, int placements, Compare compare) {
    for (int i = 0; i < placements; ++i) {
        const agg::trans_affine imageToDevice = randomPlacement(random, w, h);
        agg::trans_affine deviceToImage = imageToDevice;
        deviceToImage.invert();
        const std::vector<Span> spans = spansAround(imageToDevice, w, h, random);
        compare(deviceToImage, spans,
                std::to_string(w) + "x" + std::to_string(h) + " placement " + std::to_string(i));
        if (::testing::Test::HasFailure()) return;
    }
}

}  // namespace lumo::spancheck
