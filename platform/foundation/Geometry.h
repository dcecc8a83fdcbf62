#pragma once

#include <string>
#include <string_view>

// Points, sizes and rectangles in points (double precision), and the 2D affine transform that
// maps (x, y) to (a·x + c·y + tx, b·x + d·y + ty).

struct CGPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const CGPoint&, const CGPoint&) = default;
};

struct CGSize {
    double width = 0;
    double height = 0;
    friend bool operator==(const CGSize&, const CGSize&) = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    friend bool operator==(const CGRect&, const CGRect&) = default;
};

struct CGAffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    friend bool operator==(const CGAffineTransform&, const CGAffineTransform&) = default;
};

inline constexpr CGPoint CGPointZero{};
inline constexpr CGSize CGSizeZero{};
inline constexpr CGRect CGRectZero{};

inline constexpr CGPoint CGPointMake(double x, double y) { return {x, y}; }
inline constexpr CGSize CGSizeMake(double width, double height) { return {width, height}; }
inline constexpr CGRect CGRectMake(double x, double y, double width, double height) {
    return {{x, y}, {width, height}};
}

// Geometry strings: a point is "{x, y}", a size "{w, h}", a rect "{{x, y}, {w, h}}", numbers in
// "%g" form. Reading is lenient: the numbers are taken in order from the text, characters that
// cannot start a number (braces, commas, blanks, letters) are skipped, missing numbers read 0 and
// text after the last number needed is ignored, so "{3,4}", "3 4" and "{ 3 , 4 }" are all (3, 4).
CGPoint CGPointFromString(std::string_view text);
CGSize CGSizeFromString(std::string_view text);
CGRect CGRectFromString(std::string_view text);
std::string NSStringFromCGPoint(CGPoint point);
std::string NSStringFromCGSize(CGSize size);
std::string NSStringFromCGRect(CGRect rect);
// The same readers under the names that data-reading code uses for them.
inline CGPoint NSPointFromString(std::string_view text) { return CGPointFromString(text); }
inline CGSize NSSizeFromString(std::string_view text) { return CGSizeFromString(text); }
inline CGRect NSRectFromString(std::string_view text) { return CGRectFromString(text); }

// The rect with non-negative width and height covering the same area.
CGRect CGRectStandardize(CGRect rect);
// Edges and centre of the standardised rect.
double CGRectGetMinX(CGRect rect);
double CGRectGetMidX(CGRect rect);
double CGRectGetMaxX(CGRect rect);
double CGRectGetMinY(CGRect rect);
double CGRectGetMidY(CGRect rect);
double CGRectGetMaxY(CGRect rect);
// Inclusive of the minimum edges, exclusive of the maximum ones, so an empty rect contains nothing.
bool CGRectContainsPoint(CGRect rect, CGPoint point);
// Whether the standardised rects overlap; rects whose edges only touch intersect (their
// intersection is empty, not null).
bool CGRectIntersectsRect(CGRect a, CGRect b);
inline bool CGPointEqualToPoint(CGPoint a, CGPoint b) { return a == b; }
inline bool CGSizeEqualToSize(CGSize a, CGSize b) { return a == b; }
// Compares the standardised rects.
bool CGRectEqualToRect(CGRect a, CGRect b);

// Affine transforms, as the platform defines them.
inline constexpr CGAffineTransform CGAffineTransformIdentity{};
// t1 then t2.
CGAffineTransform CGAffineTransformConcat(const CGAffineTransform& t1, const CGAffineTransform& t2);
// The translation by (dx, dy), then t.
CGAffineTransform CGAffineTransformTranslate(const CGAffineTransform& t, double dx, double dy);
// A transform that cannot be inverted comes back unchanged.
CGAffineTransform CGAffineTransformInvert(const CGAffineTransform& t);
CGPoint CGPointApplyAffineTransform(CGPoint point, const CGAffineTransform& t);
// The smallest axis-aligned rectangle holding the images of the rectangle's corners.
CGRect CGRectApplyAffineTransform(CGRect rect, const CGAffineTransform& t);
