#pragma once

#include <agg_basics.h>
#include <agg_clip_liang_barsky.h>
#include <agg_rasterizer_sl_clip.h>

#include <cstddef>

namespace lumo {

// AGG's double-precision line clipper (rasterizer_sl_clip_dbl), handing the
// same lines in 24.8 fixed point to the same receiver, with a short way for
// the usual line, whose ends both lie in the clip box: each point's flags
// and conversion (iround(v * 256), as ras_conv_dbl's) are computed once, the
// line's start taking those of the line before's end, and the line goes
// straight to the receiver. A line with an end outside the box goes through
// AGG's clipper, started at the line's start.
class LineClipper {
public:
    void reset_clipping() {
        clipping_ = false;
        clipper_.reset_clipping();
    }

    // Unlike AGG's clipper, which keeps the last point's flags for the box
    // they were computed for, the last point is placed anew in the new box:
    // a line from it, without a move first, is then clipped to the box it is
    // drawn in.
    void clip_box(double x1, double y1, double x2, double y2) {
        clipper_.clip_box(x1, y1, x2, y2);
        box_ = agg::rect_d(x1, y1, x2, y2);
        box_.normalize();
        clipping_ = true;
        move_to(x1_, y1_);
    }

    void move_to(double x, double y) {
        x1_ = x;
        y1_ = y;
        if (!clipping_) return;
        f1_ = agg::clipping_flags(x, y, box_);
        if (f1_ == 0) {
            xi1_ = convert(x);
            yi1_ = convert(y);
        }
    }

    template <class Receiver>
    void line_to(Receiver& receiver, double x, double y) {
        if (!clipping_) {
            receiver.line(convert(x1_), convert(y1_), convert(x), convert(y));
            x1_ = x;
            y1_ = y;
            return;
        }
        const unsigned f2 = agg::clipping_flags(x, y, box_);
        if (f2 == 0) {
            const int xi = convert(x), yi = convert(y);
            if (f1_ == 0) {
                receiver.line(xi1_, yi1_, xi, yi);
            } else {
                clip(receiver, x, y);
            }
            xi1_ = xi;
            yi1_ = yi;
        } else {
            clip(receiver, x, y);
        }
        x1_ = x;
        y1_ = y;
        f1_ = f2;
    }

    // Line-tos to the n points p, in order, in one loop: while the points
    // stay in the clip box, their lines go straight to the receiver.
    template <class Receiver>
    void lines_to(Receiver& receiver, const agg::point_d* p, size_t n) {
        size_t i = 0;
        if (clipping_ && f1_ == 0) {
            int xi1 = xi1_, yi1 = yi1_;
            for (; i < n && agg::clipping_flags(p[i].x, p[i].y, box_) == 0; ++i) {
                const int xi = convert(p[i].x), yi = convert(p[i].y);
                receiver.line(xi1, yi1, xi, yi);
                xi1 = xi;
                yi1 = yi;
            }
            if (i > 0) {
                x1_ = p[i - 1].x;
                y1_ = p[i - 1].y;
                xi1_ = xi1;
                yi1_ = yi1;
            }
        }
        for (; i < n; ++i) line_to(receiver, p[i].x, p[i].y);
    }

    // The closed polygon through the n points p, when a clip box is set and
    // they all lie in it: its lines, the closing one last, as a move to the
    // first point, lines to the others and a line back to the first would
    // give them, leaving the first point the last one. False, having done
    // nothing, otherwise.
    template <class Receiver>
    __attribute__((always_inline)) bool closedPolygonInside(Receiver& receiver,
                                                            const agg::point_d* p, unsigned n) {
        if (!clipping_) return false;
        for (unsigned i = 0; i < n; ++i) {
            if (agg::clipping_flags(p[i].x, p[i].y, box_) != 0) return false;
        }
        const int x0 = convert(p[0].x), y0 = convert(p[0].y);
        int x = x0, y = y0;
        for (unsigned i = 1; i < n; ++i) {
            const int nextX = convert(p[i].x), nextY = convert(p[i].y);
            receiver.line(x, y, nextX, nextY);
            x = nextX;
            y = nextY;
        }
        receiver.line(x, y, x0, y0);
        x1_ = p[0].x;
        y1_ = p[0].y;
        f1_ = 0;
        xi1_ = x0;
        yi1_ = y0;
        return true;
    }

private:
    // The line from the last point through AGG's clipper. Only points in
    // the clip box are converted (where a coordinate fits the fixed point).
    template <class Receiver>
    void clip(Receiver& receiver, double x, double y) {
        clipper_.move_to(x1_, y1_);
        clipper_.line_to(receiver, x, y);
    }

    static int convert(double v) { return agg::iround(v * agg::poly_subpixel_scale); }

    agg::rasterizer_sl_clip_dbl clipper_;
    agg::rect_d box_{0, 0, 0, 0};
    bool clipping_ = false;
    // The last point; under a clip box, its flags and (when inside) its
    // conversion.
    double x1_ = 0.0, y1_ = 0.0;
    unsigned f1_ = 0;
    int xi1_ = 0, yi1_ = 0;
};

}  // namespace lumo
