#pragma once

#include "geometry/EllipseShape.h"
#include "geometry/PieShape.h"

#include <agg_bezier_arc.h>
#include <agg_rounded_rect.h>

#include <algorithm>
#include <cmath>

namespace lumo {

// Builders for the curved shapes of the drawing calls, which describe them by
// their bounding box (x, y, w, h). Angles are in degrees. The start angle keeps
// AGG's sign, so on a surface with y pointing down it turns clockwise from
// three o'clock; the extent changes sign, so a positive extent runs
// counter-clockwise on screen. Empty or negative boxes are rejected by the
// callers before they get here.

constexpr double kRadiansPerDegree = 0.017453292519943295;

// The open arc of drawArc.
inline agg::bezier_arc openArc(double x, double y, double w, double h, double startDeg,
                               double extentDeg) {
    return agg::bezier_arc(x + w * 0.5, y + h * 0.5, w * 0.5, h * 0.5, startDeg * kRadiansPerDegree,
                           -extentDeg * kRadiansPerDegree);
}

// The pie of fillArc: the same arc closed through the centre.
inline PieShape pieShape(double x, double y, double w, double h, double startDeg,
                         double extentDeg) {
    return PieShape(x + w * 0.5, y + h * 0.5, w * 0.5, h * 0.5, startDeg * kRadiansPerDegree,
                    -extentDeg * kRadiansPerDegree);
}

// The outline of drawRoundRect: corner arcs of diameters |aw| by |ah|, even
// when they are larger than the box.
inline agg::rounded_rect drawRoundRectShape(double x, double y, double w, double h, double aw,
                                            double ah) {
    agg::rounded_rect shape(x, y, x + w, y + h, 0.0);
    shape.radius(std::fabs(aw) * 0.5, std::fabs(ah) * 0.5);
    return shape;
}

// The interior of fillRoundRect: corner diameters limited to the box size.
inline agg::rounded_rect fillRoundRectShape(double x, double y, double w, double h, double aw,
                                            double ah) {
    agg::rounded_rect shape(x, y, x + w, y + h, 0.0);
    shape.radius(std::min(std::fabs(aw), w) * 0.5, std::min(std::fabs(ah), h) * 0.5);
    return shape;
}

// The ellipse inscribed in the box, for drawOval and fillOval.
inline EllipseShape ovalShape(double x, double y, double w, double h) {
    return EllipseShape(x + w * 0.5, y + h * 0.5, w * 0.5, h * 0.5);
}

}  // namespace lumo
