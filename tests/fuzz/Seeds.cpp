#include "fuzz/Seeds.h"

#include "fuzz/SeedWriter.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace lumo::fuzz {
namespace {

using Calls = std::function<void(SeedWriter&)>;

// A w x h render target: buffer, image and drawing object, each the n-th of
// its kind.
void target(SeedWriter& w, int width, int height, int n = 0) {
    w.call(Call::CreateDataBuffer).number(width).number(height).number(int32_t(0xFFFFFFFF));
    w.call(Call::CreateNativeImage).handle(n);
    w.call(Call::CreateGraphics).handle(n);
}

void box(SeedWriter& w, Call call, int x, int y, int width, int height) {
    w.call(call).handle(0).number(x).number(y).number(width).number(height);
}

void arc(SeedWriter& w, Call call, int start, int extent) {
    w.call(call).handle(0).number(4).number(6).number(50).number(40).number(start).number(extent);
}

void paint(SeedWriter& w, uint32_t argb) {
    w.call(Call::SetPaint).handle(0).number(int32_t(argb));
}

void stroke(SeedWriter& w, float width, int cap, int join, std::initializer_list<float> dash) {
    w.call(Call::SetStroke).handle(0).single(width).number(cap).number(join).single(10);
    if (dash.size() == 0) {
        w.nullArray();
    } else {
        w.values(dash);
    }
    w.single(0.5f);
}

void transform(SeedWriter& w, std::initializer_list<double> m) {
    w.call(Call::SetTransform).handle(0).values(m);
}

// A path: move, line, quad, cubic, close, with coordinates.
void pathArrays(SeedWriter& w) {
    w.values<int8_t>({0, 1, 2, 3, 4, 0, 1, 1, 4});
    w.values<double>({5, 5, 60, 10, 70, 40, 30, 60, 20, 30, 10, 50, 5, 30, 20, 20, 40, 20, 30, 40});
}

void region(SeedWriter& w, int x, int y, int width, int height, int bufferWidth, int bufferHeight) {
    w.values<int32_t>({x, y, width, height, bufferWidth, bufferHeight});
}

void blur(SeedWriter& w, double deviation, bool highQuality) {
    w.call(Call::GaussianBlur).handle(0);
    region(w, 4, 4, 40, 40, 64, 64);
    w.real(deviation).real(deviation).flag(highQuality);
}

std::vector<Seed> makeSeeds() {
    const std::vector<std::pair<std::string, Calls>> sequences = {
        {"rectangles",
         [](SeedWriter& w) {
             target(w, 64, 64);
             paint(w, 0xFF3060C0);
             box(w, Call::FillRect, 2, 3, 40, 20);
             box(w, Call::DrawRect, 10, 10, 30, 40);
             w.call(Call::DrawLine).handle(0).number(0).number(0).number(63).number(50);
         }},
        {"ovals-arcs-round-rects",
         [](SeedWriter& w) {
             target(w, 64, 64);
             paint(w, 0xC0208040);
             box(w, Call::FillOval, 3, 3, 50, 30);
             box(w, Call::DrawOval, 8, 8, 40, 50);
             arc(w, Call::FillArc, 30, 250);
             arc(w, Call::DrawArc, -90, -400);
             w.call(Call::FillRoundRect).handle(0).number(2).number(2).number(50).number(50);
             w.number(20).number(12);
             w.call(Call::DrawRoundRect).handle(0).number(5).number(5).number(40).number(30);
             w.number(60).number(60);
         }},
        {"aliased-and-hints",
         [](SeedWriter& w) {
             target(w, 48, 48);
             w.call(Call::SetHint).handle(0).number(1).number(0);
             w.call(Call::SetHintValue).handle(0).number(2).number(1);
             box(w, Call::FillOval, 1, 1, 40, 40);
             w.call(Call::SetHint).handle(0).number(4).number(1);
             box(w, Call::DrawOval, 3, 3, 30, 30);
         }},
        {"strokes-and-dashes",
         [](SeedWriter& w) {
             target(w, 64, 64);
             stroke(w, 6, 1, 0, {});
             box(w, Call::DrawRect, 8, 8, 40, 30);
             stroke(w, 3, 2, 1, {4, 2, 1});
             arc(w, Call::DrawArc, 0, 300);
             stroke(w, 0.25f, 0, 2, {0.5f, 0.25f});
             w.call(Call::DrawPolyline).handle(0).number(4);
             w.values<int32_t>({1, 60, 5, 30}).values<int32_t>({1, 9, 60, 2});
         }},
        {"transforms",
         [](SeedWriter& w) {
             target(w, 64, 64);
             transform(w, {0.5, 0.5, -0.5, 0.5, 32, 0});
             box(w, Call::FillRect, 0, 0, 40, 40);
             transform(w, {2, 0, 0, -1, 0, 60});
             stroke(w, 2, 0, 0, {});
             box(w, Call::DrawOval, 2, 2, 20, 20);
             transform(w, {1, 1, 1, 1, 0, 0});
             box(w, Call::FillRect, 0, 0, 10, 10);
         }},
        {"paths-and-polygons",
         [](SeedWriter& w) {
             target(w, 80, 80);
             w.call(Call::DrawPath).handle(0).number(9);
             pathArrays(w);
             w.flag(true).number(0);
             w.call(Call::DrawPath).handle(0).number(9);
             pathArrays(w);
             w.flag(false).number(1);
             w.call(Call::FillPolygon).handle(0).number(5);
             w.values<int32_t>({5, 70, 20, 60, 10}).values<int32_t>({5, 10, 70, 40, 75});
             w.call(Call::DrawPolygon).handle(0).number(3);
             w.values<int32_t>({1, 50, 1}).values<int32_t>({1, 1, 50});
         }},
        {"clips",
         [](SeedWriter& w) {
             target(w, 80, 80);
             w.call(Call::SetClip).handle(0).number(9);
             pathArrays(w);
             w.flag(true);
             box(w, Call::FillRect, 0, 0, 80, 80);
             stroke(w, 4, 1, 1, {});
             box(w, Call::DrawOval, 5, 5, 60, 60);
             w.call(Call::SetClip).handle(0).number(0).nullArray().nullArray().flag(false);
             box(w, Call::FillOval, 20, 20, 20, 20);
         }},
        {"composites",
         [](SeedWriter& w) {
             target(w, 32, 32);
             paint(w, 0x80FF0000);
             for (int rule = 0; rule < 30; rule += 3) {
                 w.call(Call::SetComposite).handle(0).number(rule).single(0.75f);
                 box(w, Call::FillRect, rule % 16, 2, 12, 20);
             }
         }},
        {"gradients",
         [](SeedWriter& w) {
             target(w, 64, 64);
             for (int kind = 0; kind < 3; ++kind) {
                 w.call(Call::SetGradient).handle(0).number(kind).number(kind);
                 w.values<double>({4, 4, 40, 50, 20, 30});
                 w.values<int32_t>({0, 128, 255})
                     .values<int32_t>({-16777216, -65536, int32_t(0x800000FF)});
                 w.values<double>({1, 0.2, 0, 1, 3, 1});
                 box(w, Call::FillRect, 0, 0, 64, 64);
             }
         }},
        {"textures",
         [](SeedWriter& w) {
             target(w, 64, 64);
             target(w, 7, 5, 1);
             w.call(Call::SetPaint).handle(1).number(int32_t(0xFF00FF00));
             w.call(Call::FillOval).handle(1).number(0).number(0).number(7).number(5);
             for (int wrap : {0x0000, 0x0101, 0x0202, 0x0102}) {
                 w.call(Call::SetTexture).handle(0).handle(1);
                 w.values<double>({1.5, 0.3, 0, 1.5, 2, 2}).number(wrap);
                 box(w, Call::FillRect, 0, 0, 64, 64);
             }
         }},
        {"line-patterns",
         [](SeedWriter& w) {
             target(w, 64, 64);
             target(w, 16, 6, 1);
             w.call(Call::SetLinePattern).handle(0).handle(1).real(1).real(0).real(1);
             w.call(Call::DrawPolyline).handle(0).number(4);
             w.values<int32_t>({2, 60, 10, 50}).values<int32_t>({2, 10, 60, 50});
             box(w, Call::DrawRect, 5, 5, 50, 40);
         }},
        {"render-target-images",
         [](SeedWriter& w) {
             target(w, 64, 64);
             target(w, 9, 11, 1);
             w.call(Call::FillOval).handle(1).number(0).number(0).number(9).number(11);
             for (int filter = 0; filter <= 17; ++filter) {
                 w.call(Call::SetHintValue).handle(0).number(0xF800).number(filter);
                 w.call(Call::DrawImage).handle(0).handle(1);
                 w.values<double>({3.5, 0.5, -0.5, 2.5, 10, 3});
             }
         }},
        {"swt-images",
         [](SeedWriter& w) {
             target(w, 64, 64);
             for (int depth : {1, 2, 4, 8, 16, 24, 32}) {
                 const int bytesPerLine = (8 * depth + 31) / 32 * 4;
                 const bool direct = depth >= 16;
                 w.call(Call::DrawSwtImage).handle(0);
                 w.values<int32_t>({direct, 8, 6, depth, bytesPerLine, 200, 3});
                 w.values<double>({4, 0, 0, 4, double(depth), 2});
                 w.pattern(uint16_t(bytesPerLine * 6), uint32_t(depth * 77));
                 if (direct) {
                     w.values<int32_t>({0xFF0000, depth == 16 ? -8 : 16, 0xFF00, 8, 0xFF, 0});
                 } else {
                     w.pattern(uint16_t(1 << std::min(depth, 8)), 5);
                 }
                 w.pattern(48, 9);
             }
         }},
        {"awt-images",
         [](SeedWriter& w) {
             target(w, 64, 64);
             for (int kind = 1; kind <= 13; ++kind) {
                 const Call call = kind <= 4   ? Call::DrawAwtInts
                                   : kind <= 7 ? Call::DrawAwtBytes
                                   : kind <= 9 ? Call::DrawAwtShorts
                                               : Call::DrawAwtBytes;
                 const int bytesPerPixel = kind <= 4   ? 4
                                           : kind == 5 ? 3
                                           : kind <= 7 ? 4
                                           : kind <= 9 ? 2
                                                       : 1;
                 w.call(call).handle(0);
                 w.values<int32_t>({1, 8, 6, 8 * bytesPerPixel, 8 * bytesPerPixel, 255, kind});
                 w.values<double>({2, 0, 0, 2, double(kind), double(kind)});
                 const int elementSize = call == Call::DrawAwtInts     ? 4
                                         : call == Call::DrawAwtShorts ? 2
                                                                       : 1;
                 w.pattern(uint16_t(8 * 6 * bytesPerPixel / elementSize), uint32_t(kind));
             }
         }},
        {"device-output",
         [](SeedWriter& w) {
             target(w, 32, 24);
             box(w, Call::FillOval, 0, 0, 32, 24);
             w.call(Call::CreateDevice).number(40).number(30);
             w.call(Call::BlitImage).handle(0).handle(0).number(2).number(3).number(30).number(20);
             w.number(1).number(1);
             w.call(Call::BlitInts).handle(0).number(0).number(0).number(8).number(8).number(0);
             w.number(0).number(8).number(8).pattern(64, 3);
             w.call(Call::BlitBytes).handle(0).number(5).number(5).number(4).number(4).number(0);
             w.number(0).number(4).number(4).pattern(64, 4);
             w.call(Call::BlitShorts).handle(0).number(9).number(9).number(4).number(4).number(0);
             w.number(0).number(4).number(4).pattern(32, 5);
             w.call(Call::ReadDevice).handle(0).number(1200).byte(0).byte(fillRepeat).number(0);
             w.call(Call::QueryCounter).call(Call::QueryFrequency);
         }},
        {"pixel-filters",
         [](SeedWriter& w) {
             target(w, 64, 64);
             box(w, Call::FillOval, 0, 0, 64, 64);
             w.call(Call::FilterAlpha).handle(0);
             region(w, 0, 0, 64, 64, 64, 64);
             w.call(Call::ColorMatrix).handle(0);
             region(w, 8, 8, 30, 30, 64, 64);
             w.values<double>({0.5, 0, 0, 0, 10, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0.5, 0});
             w.flag(true);
             w.call(Call::ApplyLut).handle(0);
             region(w, 0, 0, 64, 64, 64, 64);
             w.byte(3);
             w.call(Call::TransColor).handle(0);
             region(w, 0, 0, 32, 64, 64, 64);
             w.pattern(256, 1).nullArray().pattern(256, 2).repeat(256, 255).flag(false);
         }},
        {"blur",
         [](SeedWriter& w) {
             target(w, 64, 64);
             box(w, Call::FillRect, 20, 20, 10, 10);
             blur(w, 3, true);
             blur(w, 12, false);
             blur(w, 0.5, true);
             blur(w, 40, false);
             blur(w, 1e9, false);
         }},
        {"rectangle-clip-and-stroke-offsets",
         [](SeedWriter& w) {
             target(w, 48, 48);
             w.call(Call::SetClip).handle(0).number(5).values<int8_t>({0, 1, 1, 1, 4});
             w.values<double>({4.5, 4, 40, 4, 40, 30.5, 4.5, 30.5}).flag(true);
             box(w, Call::FillOval, 0, 0, 48, 48);
             for (int offset = 0; offset < 4; ++offset) {
                 w.call(Call::SetHint).handle(0).number(0x600).number(offset);
                 w.call(Call::SetHint).handle(0).number(8).number(offset & 1);
                 box(w, Call::DrawRect, 6 + offset, 6, 20, 20);
             }
         }},
        {"line-pattern-through-path-clip",
         [](SeedWriter& w) {
             target(w, 80, 80);
             target(w, 12, 5, 1);
             w.call(Call::SetClip).handle(0).number(9);
             pathArrays(w);
             w.flag(false);
             w.call(Call::SetLinePattern).handle(0).handle(1).real(1).real(0).real(1);
             w.call(Call::SetHintValue).handle(0).number(0xF800).number(1);
             w.call(Call::DrawPolyline).handle(0).number(4);
             w.values<int32_t>({2, 78, 10, 70}).values<int32_t>({2, 10, 78, 70});
         }},
        {"conversions",
         [](SeedWriter& w) {
             target(w, 16, 16);
             box(w, Call::FillOval, 0, 0, 16, 16);
             w.call(Call::CoerceBuffer).handle(0);
             region(w, 0, 0, 16, 16, 16, 16);
             w.flag(true);
             w.call(Call::CoerceArray);
             region(w, 0, 0, 8, 8, 8, 8);
             w.number(64).byte(0).byte(fillPattern).byte(7).byte(0).byte(0).byte(0);
             w.flag(false);
             w.call(Call::ConvertData).number(48).byte(0).byte(fillEach);
             for (int i = 0; i < 48; ++i) w.number(0);
             w.values<int32_t>({0, 8, 6, 8, 8, 255, -1});
             w.number(48).byte(0).byte(fillPattern).byte(3).byte(0).byte(0).byte(0);
             w.pattern(256, 11).nullArray();
             w.call(Call::SetData).handle(0);
             region(w, 2, 2, 5, 5, 16, 16);
             w.number(int32_t(0x80402010));
         }},
        {"copy-and-compose",
         [](SeedWriter& w) {
             target(w, 32, 32);
             target(w, 32, 32, 1);
             w.call(Call::FillOval).handle(1).number(0).number(0).number(32).number(32);
             w.call(Call::CopyData).handle(1).handle(0);
             region(w, 0, 0, 16, 16, 32, 32);
             region(w, 8, 8, 16, 16, 32, 32);
             for (int rule = 0; rule <= 27; ++rule) {
                 w.call(Call::ComposeRule).number(rule).handle(1).handle(0);
                 region(w, 0, 0, 20, 20, 32, 32);
                 region(w, 4, 6, 20, 20, 32, 32);
             }
             w.call(Call::ComposeCoefficients).handle(1).handle(0);
             region(w, 0, 0, 32, 32, 32, 32);
             region(w, 0, 0, 32, 32, 32, 32);
             w.values<double>({0.5, 0.25, 0.25, 0});
         }},
        {"lifetimes",
         [](SeedWriter& w) {
             target(w, 32, 32);
             target(w, 8, 8, 1);
             w.call(Call::SetTexture).handle(0).handle(1).nullArray().number(0x0101);
             w.call(Call::CloneGraphics).handle(0);
             w.call(Call::DeleteNativeImage).handle(1);
             w.call(Call::DeleteDataBuffer).handle(1);
             box(w, Call::FillRect, 0, 0, 32, 32);
             w.call(Call::DeleteGraphics).handle(1);
             w.call(Call::DeleteNativeImage).handle(0);
             w.call(Call::FillOval).handle(0).number(0).number(0).number(9).number(9);
             w.call(Call::DeleteGraphics).handle(0);
             w.call(Call::ClearDataBuffer).handle(0).number(7);
         }},
        {"bad-handles-and-arrays",
         [](SeedWriter& w) {
             target(w, 16, 16);
             w.call(Call::FillRect).special(zeroHandle).number(0).number(0).number(9).number(9);
             w.call(Call::FillRect).special(nextHandle).number(0).number(0).number(9).number(9);
             w.call(Call::FillRect).special(otherGeneration).number(0).number(0).number(9);
             w.number(9);
             w.call(Call::SetTransform).handle(0).values<double>({1, 0, 0});
             w.call(Call::FillPolygon).handle(0).number(1000).values<int32_t>({1, 2, 3});
             w.values<int32_t>({1, 2, 3});
             w.call(Call::FillRect).handle(0).number(-5).number(-5).number(INT32_MAX);
             w.number(INT32_MAX);
             w.call(Call::CreateDataBuffer).number(-1).number(5).number(0);
             w.call(Call::CreateDataBuffer).number(70000).number(70000).number(0);
         }},
        {"troublesome-numbers",
         [](SeedWriter& w) {
             target(w, 32, 32);
             transform(w, {1e300, 0, 0, 1e300, 0, 0});
             box(w, Call::FillOval, 0, 0, 10, 10);
             transform(w, {1, 0, 0, 1, std::numeric_limits<double>::quiet_NaN(), 0});
             box(w, Call::FillRect, 0, 0, 10, 10);
             transform(w, {1, 0, 0, 1, 0, 0});
             stroke(w, 1e30f, 1, 1, {1e-30f, 1e-30f});
             box(w, Call::DrawOval, -100000, -100000, 200000, 200000);
             w.call(Call::DrawPath).handle(0).number(2).values<int8_t>({0, 3});
             w.values<double>(
                 {0, 0, 1e308, -1e308, std::numeric_limits<double>::infinity(), 5, 9, 9});
             w.flag(true).number(0);
         }},
        {"costly-strokes-curves-and-blurs",
         [](SeedWriter& w) {
             target(w, 256, 256);
             stroke(w, 1e6f, 1, 1, {0.001f, 0.001f});
             box(w, Call::DrawOval, -5000, -5000, 10000, 10000);
             stroke(w, 3e4f, 1, 1, {});
             w.call(Call::DrawPolyline).handle(0).number(5);
             w.values<int32_t>({0, 255, 0, 255, 0}).values<int32_t>({0, 1, 2, 3, 4});
             stroke(w, 2, 1, 1, {0.01f, 0.01f});
             w.call(Call::DrawPath).handle(0).number(2).values<int8_t>({0, 3});
             w.values<double>({0, 0, 1e15, -1e15, -1e15, 1e15, 200, 200}).flag(true).number(0);
             w.call(Call::GaussianBlur).handle(0);
             region(w, 0, 0, 256, 256, 256, 256);
             w.real(1e9).real(3e3).flag(true);
         }},
        {"copied-and-pinned-arrays",
         [](SeedWriter& w) {
             // Paths and polygons on both sides of the copy buffer's size,
             // counts longer than their arrays, and a pin failing after a copy.
             target(w, 64, 64);
             w.call(Call::HandOutCopies).flag(true);
             w.call(Call::DrawPath).handle(0).number(300).repeat(300, 1).pattern(600, 7);
             w.flag(true).number(1);
             w.call(Call::DrawPath).handle(0).number(3000).repeat(3000, 1).pattern(6000, 9);
             w.flag(false).number(2);
             w.call(Call::FillPolygon).handle(0).number(600).pattern(600, 3).pattern(600, 5);
             w.call(Call::FillPolygon).handle(0).number(600).pattern(600, 3).pattern(599, 5);
             w.call(Call::SetClip).handle(0).number(300).repeat(300, 1).pattern(500, 11);
             w.flag(true);
             w.call(Call::FailPin).byte(0);
             w.call(Call::DrawPath).handle(0).number(300).repeat(300, 1).pattern(600, 7);
             w.flag(true).number(1);
         }},
        {"pin-failures",
         [](SeedWriter& w) {
             target(w, 16, 16);
             w.call(Call::HandOutCopies).flag(true);
             w.call(Call::FailPin).byte(1);
             w.call(Call::DrawPath).handle(0).number(9);
             pathArrays(w);
             w.flag(true).number(0);
             w.call(Call::FailPin).byte(0);
             w.call(Call::SetData).handle(0);
             region(w, 0, 0, 16, 16, 16, 16);
             w.number(-1);
         }},
    };
    std::vector<Seed> seeds;
    for (const auto& [name, write] : sequences) {
        SeedWriter w;
        write(w);
        seeds.push_back({name, w.bytes(), w.calls()});
    }
    return seeds;
}

}  // namespace

std::vector<Seed> seedInputs() {
    return makeSeeds();
}

}  // namespace lumo::fuzz
