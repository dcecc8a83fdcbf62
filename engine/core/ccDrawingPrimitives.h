#pragma once

#include <cstdint>

#include "engine/core/ccTypes.h"
#include "platform/foundation/Geometry.h"

class CCPointArray;

// Immediate-mode debug drawing from inside some node's draw: points, lines, rectangles, polygons,
// circles, Bezier curves and splines in one process-wide colour (initially opaque white) with the
// "ShaderPosition_uColor" program, from client memory, in the current model-view space. Each call
// is one GL draw and adds one to ccDrawCallCounter (ccDrawRect makes four). Blending is left as
// the calling node set it.
//
// Engine thread only, with the view's context current. Coordinates are points, converted to
// single precision.

// Fetches the program and its "u_color" and "u_pointSize" locations; every drawing function
// calls it. Fetches again after the shader cache was rebuilt (the director's end purges it).
void ccDrawPrimitivesInit();

// One point of the current point size.
void ccDrawPoint(CGPoint point);
void ccDrawPoints(const CGPoint* points, uint64_t count);
void ccDrawLine(CGPoint origin, CGPoint destination);
// The outline of the axis-aligned rectangle with these opposite corners, as four lines (four
// draw calls).
void ccDrawRect(CGPoint origin, CGPoint destination);
// The filled rectangle, drawn as by ccDrawSolidPoly.
void ccDrawSolidRect(CGPoint origin, CGPoint destination, ccColor4F color);
// The polyline through the points, closed back to the first point when asked.
void ccDrawPoly(const CGPoint* points, uint64_t count, bool closePolygon);
// The convex polygon filled in `color` (not the current colour) as a triangle fan, counted as one
// draw call like the others.
void ccDrawSolidPoly(const CGPoint* points, uint64_t count, ccColor4F color);
// A circle of `segments` chords starting at `angle` (radians, counter-clockwise from +x), with a
// line back to the centre when asked. 0 segments draws nothing.
void ccDrawCircle(CGPoint center, float radius, float angle, uint64_t segments, bool drawLineToCenter);
// Curves as `segments` line pieces ending exactly at the destination.
void ccDrawQuadBezier(CGPoint origin, CGPoint control, CGPoint destination, uint64_t segments);
void ccDrawCubicBezier(CGPoint origin, CGPoint control1, CGPoint control2, CGPoint destination, uint64_t segments);
// The cardinal spline through the array's points (ccCardinalSplineAt) as `segments` line pieces
// ending exactly at the last point; the points share the pieces equally, the last point getting a
// short piece that leaves it and comes back. A null or empty array, or 0 segments, draws nothing.
void ccDrawCardinalSpline(const CCPointArray* points, double tension, uint64_t segments);
// ccDrawCardinalSpline with tension 0.5.
void ccDrawCatmullRom(const CCPointArray* points, uint64_t segments);

// The current colour, 0-1 per component.
void ccDrawColor4F(float r, float g, float b, float a);
// The current colour from bytes (each / 255).
void ccDrawColor4B(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
// Points drawn from now on are `size` pixels wide (glPointSize); the program's point size is the
// size times the content scale factor.
void ccPointSize(float size);
