#pragma once

#include "context/PolygonPoints.h"
#include "context/StrokedRectangle.h"
#include "core/Assert.h"
#include "core/RenderTarget.h"
#include "coverage/CoverageScratch.h"
#include "coverage/RasterizeCurves.h"
#include "coverage/RasterizeSource.h"
#include "coverage/RectilinearFill.h"
#include "geometry/CheckedSource.h"
#include "geometry/CurveCuller.h"
#include "geometry/CurveFlattener.h"
#include "geometry/DashGenerator.h"
#include "geometry/DashedOutline.h"
#include "geometry/StrokeGenerator.h"
#include "geometry/StrokeGeometry.h"
#include "geometry/TransformKind.h"
#include "geometry/TransformedSource.h"
#include "paint/TexturePaint.h"
#include "render/GraphicsState.h"
#include "render/LinePatternOutline.h"
#include "render/PaintRenderer.h"

#include <algorithm>
#include <cmath>

namespace lumo {

// Draw flags.
enum DrawFlag : unsigned {
    DRAW_FILL = 0x01,
    DRAW_STROKE = 0x02,
    // Passed on from drawPath's flags for the Java interface; nothing reads it.
    DRAW_INTERFACE_BIT = 0x04,
    DRAW_CURVES = 0x20,
    DRAW_POLYGONAL = 0x40,
};

// Turns one shape in user space into pixels: fills it, or strokes its
// outline in device or user space, then rasterises the result under the
// clip box and hands it to the paint renderer. The caller has checked that
// the target lives and the clip box is not empty. Everything is built on the
// stack; the target's rasteriser and scan-lines are reused.
class ShapePipeline {
public:
    ShapePipeline(GraphicsState& state, RenderTarget& target) : state_(state), target_(target) {
        LUMO_ASSERT(!state.clipBoxEmpty());
    }

    // Strokes a shape that is one polygon of the points `polygon` reads (closed
    // or not), as run() strokes it: a closed rectangle is recognised from the
    // points straight.
    template <class Shape>
    void strokePolygon(Shape& shape, const PolygonPoints& polygon) {
        stroke(shape, false, &polygon);
    }

    template <class Shape>
    void run(Shape& shape, unsigned flags) {
        const bool curves = (flags & DRAW_CURVES) != 0;
        if (flags & DRAW_FILL) {
            fill(shape, curves);
        } else if (flags & DRAW_STROKE) {
            stroke(shape, curves);
        }
    }

    // Fills a shape that is one closed polygon of the n points (x, y pairs)
    // at xy: in device space under a rectangle clip the rectangle coverage
    // reads the points straight (the same edges it would read from the
    // shape), otherwise the shape is filled as run() fills it.
    template <class Shape>
    void fillPolygon(Shape& shape, const double* xy, int n) {
        if (state_.transformKind() != TRANSFORM_IDENTITY || !(state_.clipFlags & CLIP_RECT)) {
            return fill(shape, false);
        }
        CoverageScratch* scratch = CoverageScratch::of(target_);
        if (scratch == nullptr) return;
        RectilinearCoverage& coverage = scratch->rectilinearCoverage();
        const auto set = [&] {
            coverage.begin(state_.clipBox, state_.fillRule);
            return coverage.addPolygon(xy, n) && coverage.end();
        };
        if (renderRectilinearSet(coverage, set, NoCheck(), [&] { renderPaint(state_, target_); })) {
            return;
        }
        // Not rectilinear: the rasteriser, without trying the coverage again.
        fillStage(shape, NoCheck(), false);
    }

private:
    struct NoCheck {
        bool faulty() const { return false; }
    };

    template <class Shape>
    void fill(Shape& shape, bool curves) {
        const TransformKind kind = state_.transformKind();
        if (kind == TRANSFORM_IDENTITY) {
            fillDevice(shape, curves);
        } else {
            TransformedSource<Shape> transformed(shape, state_.transform, kind);
            fillDevice(transformed, curves);
        }
    }

    // Curves are flattened in device pixels, after the transform; huge ones
    // only near the clip box. A path whose curves are all whole and small
    // enough goes to the rasteriser in one loop (rasterizeCurves); the others
    // through the chain of stages.
    template <class Source>
    void fillDevice(Source& source, bool curves) {
        if (!curves) {
            fillStage(source, NoCheck());
            return;
        }
        CoverageScratch* scratch = CoverageScratch::of(target_);
        if (scratch == nullptr) return;
        CurveFill result = CurveFill::ADDED;
        rasterizeStage(*scratch, NoCheck(), [&](Rasterizer& rasterizer) {
            CurveSubdivision subdivision;
            result = rasterizeCurves(rasterizer, source, subdivision);
            return result == CurveFill::ADDED;
        });
        if (result != CurveFill::IRREGULAR) return;
        CheckedSource<Source> checked(source, maxEdgeCoordinate);
        const agg::rect_d& clip = state_.clipBox;
        CurveCuller<CheckedSource<Source>> culled(
            checked, agg::rect_d(clip.x1 - 1, clip.y1 - 1, clip.x2 + 1, clip.y2 + 1));
        CurveFlattener<CurveCuller<CheckedSource<Source>>> flattened(culled);
        // Flattened curves are slanted: the rectangle coverage would only
        // flatten the first of them twice before giving up.
        fillStage(flattened, checked, false);
    }

    // Strokes outline the centre line; a line-pattern paint draws the
    // centre line itself with its image instead, whatever the stroke width.
    // `polygon`, when given, holds the shape's points.
    template <class Shape>
    void stroke(Shape& shape, bool curves, const PolygonPoints* polygon = nullptr) {
        const StrokeStyle& style = *state_.stroke;
        pattern_ = state_.paint->kind() == PAINT_LINE_PATTERN;
        if (!pattern_ && !std::isfinite(style.width())) return;
        const agg::point_d offset = strokeOffset(state_.strokeOffsetHint());
        agg::rect_d cull;
        if (state_.hint(HINT_DEVICE_STROKE) || state_.transformKind() != TRANSFORM_GENERAL) {
            TransformedSource<Shape> transformed(shape, &state_.transform, offset.x, offset.y);
            if (!pattern_ && !curves) {
                if (polygon != nullptr) {
                    PolygonPoints points = *polygon;
                    TransformedSource<PolygonPoints> centre(points, &state_.transform, offset.x,
                                                            offset.y);
                    if (strokeRectangle(centre)) return;
                } else if (strokeRectangle(transformed)) {
                    return;
                }
            }
            const bool culled = curves && strokeCullingBox(nullptr, offset, cull);
            const double limit = curves && !culled ? maxCurveCoordinate : maxEdgeCoordinate;
            CheckedSource<TransformedSource<Shape>> checked(transformed, limit);
            // The outline of a slanted or curved centre line cannot take the
            // rectilinear coverage: trying would make the whole first
            // sub-path (curves flattened, dashes measured) twice.
            rectilinearOutline_ = pattern_ || rectilinearPolyline(checked);
            dashBoxKnown_ = !pattern_ && style.dashed() && reachBox(nullptr, offset, dashBox_);
            strokeFlatten(checked, checked, curves, culled ? &cull : nullptr, 1.0, nullptr, offset);
        } else {
            // Stroked in user space: the width and dashes scale with the
            // transform, curves are flattened finely enough for it.
            const double scale = state_.transform.scale();
            if (!(scale > 0.0 && scale < maxEdgeCoordinate)) return;
            // A transform that collapses the plane leaves the outline no
            // area: nothing to draw, and no inverse to cull curves with, so
            // flattening at its scale would be work for nothing. A line
            // pattern, drawn along the transformed centre line, still shows.
            agg::trans_affine deviceToUser;
            const bool invertible = invertTransform(state_.transform, deviceToUser);
            if (!invertible && !pattern_) return;
            const bool culled =
                curves && invertible && strokeCullingBox(&deviceToUser, offset, cull);
            const double limit =
                (curves && !culled ? maxCurveCoordinate : maxEdgeCoordinate) / scale;
            CheckedSource<Shape> checked(shape, limit);
            // Turned or sheared outlines: a slanted line may become
            // horizontal or vertical in device space.
            rectilinearOutline_ = true;
            dashBoxKnown_ = !pattern_ && style.dashed() && invertible &&
                            reachBox(&deviceToUser, offset, dashBox_);
            strokeFlatten(checked, checked, curves, culled ? &cull : nullptr, scale,
                          &state_.transform, offset);
        }
    }

    // A device-space centre line that is a closed rectangle, stroked with
    // miter joins under a rectangle clip, is filled as the two rectangles of
    // its outline without running the stroker (StrokedRectangle); false, having
    // drawn nothing, for any other.
    template <class Source>
    bool strokeRectangle(Source& centre) {
        const StrokeStyle& style = *state_.stroke;
        if (style.dashed() || style.join() != agg::miter_join || !(style.miterLimit() >= 1.5f) ||
            !(state_.clipFlags & CLIP_RECT)) {
            return false;
        }
        StrokedRectangle outline;
        if (!outline.set(centre, style.width(), state_.clipBox)) return false;
        // Its two rectangles go to the rectangle coverage straight, as the
        // coverage would read them from the outline.
        CoverageScratch* scratch = CoverageScratch::of(target_);
        if (scratch == nullptr) return true;
        RectilinearCoverage& coverage = scratch->rectilinearCoverage();
        const auto set = [&] {
            coverage.begin(state_.clipBox, state_.fillRule);
            return coverage.addRectangle(outline.outer(), true) &&
                   coverage.addRectangle(outline.inner(), false) && coverage.end();
        };
        if (!renderRectilinearSet(coverage, set, NoCheck(),
                                  [&] { renderPaint(state_, target_); })) {
            fillStage(outline, NoCheck());
        }
        return true;
    }

    // The box, in the space the outline is stroked in, outside which huge
    // curves may be replaced by their control polygons: the clip box grown by
    // the farthest a stroke reaches from its centre line (miters, square caps).
    // Not for dashes, whose places depend on the length of what comes before
    // (they are cut to reachBox while they are made).
    // deviceToUser is null for outlines stroked in device space.
    bool strokeCullingBox(const agg::trans_affine* deviceToUser, agg::point_d offset,
                          agg::rect_d& box) {
        if (state_.stroke->dashed()) return false;
        return reachBox(deviceToUser, offset, box);
    }

    // The clip box grown by the farthest the stroke reaches from its centre
    // line, in the space the outline is stroked in: what lies beyond it
    // covers nothing. False when it is not finite.
    bool reachBox(const agg::trans_affine* deviceToUser, agg::point_d offset, agg::rect_d& box) {
        const StrokeStyle& style = *state_.stroke;
        // How far the outline reaches from its centre line, in stroking units.
        // A line pattern's reach is in device pixels; no pixel distance maps
        // to more user units than the inverse's Frobenius norm times it.
        const double reach =
            pattern_
                ? patternReach() * (deviceToUser != nullptr ? frobeniusNorm(*deviceToUser) : 1.0)
                : strokeReach(style.width(), double(style.miterLimit()));
        // Two pixels more, in device space, for the offset and rounding.
        const agg::rect_d& clip = state_.clipBox;
        double xs[4] = {clip.x1 - 2, clip.x2 + 2, clip.x2 + 2, clip.x1 - 2};
        double ys[4] = {clip.y1 - 2, clip.y1 - 2, clip.y2 + 2, clip.y2 + 2};
        if (deviceToUser != nullptr) {
            for (int i = 0; i < 4; ++i) {
                xs[i] -= offset.x;
                ys[i] -= offset.y;
                deviceToUser->transform(&xs[i], &ys[i]);
            }
        }
        box = agg::rect_d(
            *std::min_element(xs, xs + 4) - reach, *std::min_element(ys, ys + 4) - reach,
            *std::max_element(xs, xs + 4) + reach, *std::max_element(ys, ys + 4) + reach);
        return std::isfinite(box.x1) && std::isfinite(box.y1) && std::isfinite(box.x2) &&
               std::isfinite(box.y2);
    }

    template <class Source, class Check>
    void strokeFlatten(Source& source, const Check& check, bool curves, const agg::rect_d* cull,
                       double scale, const agg::trans_affine* after, agg::point_d offset) {
        if (!curves) {
            strokeDash(source, check, scale, after, offset);
        } else if (cull == nullptr) {
            CurveFlattener<Source> flattened(source);
            flattened.approximation_scale(scale);
            strokeDash(flattened, check, scale, after, offset);
        } else {
            CurveCuller<Source> culled(source, *cull, 1.0 / scale);
            CurveFlattener<CurveCuller<Source>> flattened(culled);
            flattened.approximation_scale(scale);
            strokeDash(flattened, check, scale, after, offset);
        }
    }

    template <class Source, class Check>
    void strokeDash(Source& source, const Check& check, double scale,
                    const agg::trans_affine* after, agg::point_d offset) {
        const StrokeStyle& style = *state_.stroke;
        if (!style.dashed() ||
            !dashesWithinBudget(source, style, strokeApproximationScale(style.width(), scale),
                                scale, state_.clipBox)) {
            strokeOutline(source, check, scale, after, offset);
            return;
        }
        DashGenerator<Source> dashed(source);
        configureDash(dashed, style);
        // Dashes beyond the grown clip box are left out: their outlines
        // would cover nothing.
        if (dashBoxKnown_) dashed.clip_box(dashBox_);
        // Device-space dashes with caps of two points go to the rasteriser
        // in one loop; the rectangle coverage reads them through the
        // generators.
        if (!pattern_ && after == nullptr && !rectilinearOutline_ &&
            style.cap() != agg::round_cap) {
            strokeDashes(dashed, check, scale);
            return;
        }
        strokeOutline(dashed, check, scale, after, offset);
    }

    template <class Source, class Check>
    void strokeDashes(DashGenerator<Source>& dashes, const Check& check, double scale) {
        DashedOutline<Source> outline(dashes);
        configureStroke(outline.stroke(), *state_.stroke,
                        roundApproximationScale(dashes, *state_.stroke, scale));
        CoverageScratch* scratch = CoverageScratch::of(target_);
        if (scratch == nullptr) return;
        rasterizeStage(
            *scratch, check,
            [&](Rasterizer& rasterizer) {
                return rasterizeCommands(rasterizer,
                                         [&](auto& out) { return outline.forEach(out); });
            },
            true);
    }

    static double frobeniusNorm(const agg::trans_affine& m) {
        return std::sqrt(m.sx * m.sx + m.shy * m.shy + m.shx * m.shx + m.sy * m.sy);
    }

    // Half the height of the line pattern's image, and two pixels more: how
    // far a pattern line reaches from its centre, in device pixels.
    double patternReach() const {
        const auto& paint = static_cast<const TexturePaint&>(*state_.paint);
        return std::floor(paint.source().height() / 2) + 2;
    }

    template <class Source, class Check>
    void strokeOutline(Source& source, const Check& check, double scale,
                       const agg::trans_affine* after, agg::point_d offset) {
        if (pattern_) {
            if (after == nullptr) return patternLine(source, check);
            TransformedSource<Source> transformed(source, after, offset.x, offset.y);
            return patternLine(transformed, check);
        }
        StrokeGenerator<Source> outline(source);
        configureStroke(outline, *state_.stroke,
                        roundApproximationScale(source, *state_.stroke, scale));
        if (after == nullptr) {
            // The rectangle coverage reads a rectilinear outline through
            // vertex(); others go to the rasteriser in one loop.
            if (rectilinearOutline_) {
                fillStage(outline, check);
                return;
            }
            CoverageScratch* scratch = CoverageScratch::of(target_);
            if (scratch == nullptr) return;
            rasterizeStage(
                *scratch, check,
                [&](Rasterizer& rasterizer) {
                    return rasterizeCommands(rasterizer,
                                             [&](auto& out) { return outline.forEach(out); });
                },
                true);
            return;
        }
        TransformedSource<StrokeGenerator<Source>> transformed(outline, after, offset.x, offset.y);
        fillStage(transformed, check, rectilinearOutline_);
    }

    // Rasterises a device-space outline under the clip box with the state's
    // fill rule and renders it; a shape with an unusable coordinate anywhere
    // is not drawn at all. Outlines of horizontal and vertical edges only
    // skip the rasteriser (same pixels), unless `rectilinear` is false.
    template <class Source, class Check>
    void fillStage(Source& source, const Check& check, bool rectilinear = true) {
        CoverageScratch* scratch = CoverageScratch::of(target_);
        if (scratch == nullptr) return;
        if (rectilinear &&
            renderRectilinear(scratch->rectilinearCoverage(), (state_.clipFlags & CLIP_RECT) != 0,
                              state_.clipBox, source, state_.fillRule, check,
                              [&] { renderPaint(state_, target_); })) {
            return;
        }
        rasterizeStage(*scratch, check,
                       [&](Rasterizer& rasterizer) { return rasterizeSource(rasterizer, source); });
    }

    // Rasterises a device-space outline, which `add(rasterizer)` adds to the
    // rasteriser (false for an unusable coordinate), under the clip box
    // with the state's fill rule and renders it. `thin` tells the rasteriser
    // the outline is a stroke's.
    template <class Check, class Add>
    void rasterizeStage(CoverageScratch& scratch, const Check& check, Add add, bool thin = false) {
        Rasterizer& rasterizer = scratch.rasterizerForShape();
        rasterizer.thinOutline(thin);
        const agg::rect_d& clip = state_.clipBox;
        rasterizer.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
        rasterizer.filling_rule(state_.fillRule);
        // A shape left partly rasterised is emptied by the next one.
        if (!add(rasterizer) || check.faulty()) return;
        renderPaint(state_, target_);
    }

    // Draws a device-space centre line with the line pattern, unless it has
    // an unusable coordinate anywhere or a point beyond a million pixels,
    // where AGG's outline renderer saturates its coordinates (the outline is
    // drawn while it is read, so the whole line is checked first).
    template <class Source, class Check>
    void patternLine(Source& source, const Check& check) {
        double x, y;
        double length = 0, lastX = 0, lastY = 0;
        source.rewind(0);
        unsigned cmd;
        while (!agg::is_stop(cmd = source.vertex(&x, &y))) {
            if (!agg::is_vertex(cmd)) continue;
            if (!coordinateUsable(x, y, maxPatternLineCoordinate)) return;
            if (!agg::is_move_to(cmd)) length += std::hypot(x - lastX, y - lastY);
            lastX = x;
            lastY = y;
        }
        if (check.faulty() || !(length <= maxPatternLineLength)) return;
        VertexSourceRef<Source> line(source);
        drawLinePatternOutline(state_, target_, line);
    }

    GraphicsState& state_;
    RenderTarget& target_;
    bool pattern_ = false;
    bool rectilinearOutline_ = true;
    bool dashBoxKnown_ = false;
    agg::rect_d dashBox_;
};

}  // namespace lumo
