#include "platform/foundation/Geometry.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "platform/foundation/StringUtils.h"

namespace {
// Length of the decimal number at the start of the text ([+-]digits[.digits][e[+-]digits], or a
// leading "." before digits), 0 when none starts there.
size_t numberLength(std::string_view text) {
    const size_t sign = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    const std::string_view unsignedPart = text.substr(sign);
    const auto isDigit = [&](size_t i) { return i < unsignedPart.size() && unsignedPart[i] >= '0' && unsignedPart[i] <= '9'; };
    // Only digits may start a number, so from_chars never reads "inf", "nan" or hexadecimal here.
    if (!isDigit(0) && !(unsignedPart.starts_with('.') && isDigit(1))) return 0;
    double ignored;
    const auto result = std::from_chars(unsignedPart.data(), unsignedPart.data() + unsignedPart.size(), ignored);
    return sign + static_cast<size_t>(result.ptr - unsignedPart.data());
}

template <size_t Count>
std::array<double, Count> numbersFromString(std::string_view text) {
    std::array<double, Count> numbers{};
    size_t found = 0;
    for (size_t at = 0; found < Count && at < text.size();) {
        const size_t length = numberLength(text.substr(at));
        if (length == 0) {
            ++at;
            continue;
        }
        numbers[found++] = stringDoubleValue(text.substr(at, length));
        at += length;
    }
    return numbers;
}
}  // namespace

CGPoint CGPointFromString(std::string_view text) {
    const auto n = numbersFromString<2>(text);
    return {n[0], n[1]};
}

CGSize CGSizeFromString(std::string_view text) {
    const auto n = numbersFromString<2>(text);
    return {n[0], n[1]};
}

CGRect CGRectFromString(std::string_view text) {
    const auto n = numbersFromString<4>(text);
    return CGRectMake(n[0], n[1], n[2], n[3]);
}

std::string NSStringFromCGPoint(CGPoint point) { return stringWithFormat("{%g, %g}", point.x, point.y); }

std::string NSStringFromCGSize(CGSize size) { return stringWithFormat("{%g, %g}", size.width, size.height); }

std::string NSStringFromCGRect(CGRect rect) {
    return stringWithFormat("{{%g, %g}, {%g, %g}}", rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
}

CGRect CGRectStandardize(CGRect rect) {
    if (rect.size.width < 0) {
        rect.origin.x += rect.size.width;
        rect.size.width = -rect.size.width;
    }
    if (rect.size.height < 0) {
        rect.origin.y += rect.size.height;
        rect.size.height = -rect.size.height;
    }
    return rect;
}

double CGRectGetMinX(CGRect rect) { return CGRectStandardize(rect).origin.x; }

double CGRectGetMidX(CGRect rect) { return rect.origin.x + rect.size.width / 2; }

double CGRectGetMaxX(CGRect rect) {
    const CGRect r = CGRectStandardize(rect);
    return r.origin.x + r.size.width;
}

double CGRectGetMinY(CGRect rect) { return CGRectStandardize(rect).origin.y; }

double CGRectGetMidY(CGRect rect) { return rect.origin.y + rect.size.height / 2; }

double CGRectGetMaxY(CGRect rect) {
    const CGRect r = CGRectStandardize(rect);
    return r.origin.y + r.size.height;
}

bool CGRectContainsPoint(CGRect rect, CGPoint point) {
    return point.x >= CGRectGetMinX(rect) && point.x < CGRectGetMaxX(rect) && point.y >= CGRectGetMinY(rect) &&
           point.y < CGRectGetMaxY(rect);
}

bool CGRectIntersectsRect(CGRect a, CGRect b) {
    return std::max(CGRectGetMinX(a), CGRectGetMinX(b)) <= std::min(CGRectGetMaxX(a), CGRectGetMaxX(b)) &&
           std::max(CGRectGetMinY(a), CGRectGetMinY(b)) <= std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
}

bool CGRectEqualToRect(CGRect a, CGRect b) { return CGRectStandardize(a) == CGRectStandardize(b); }

CGAffineTransform CGAffineTransformConcat(const CGAffineTransform& t1, const CGAffineTransform& t2) {
    return {t1.a * t2.a + t1.b * t2.c,           t1.a * t2.b + t1.b * t2.d,
            t1.c * t2.a + t1.d * t2.c,           t1.c * t2.b + t1.d * t2.d,
            t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}

CGAffineTransform CGAffineTransformTranslate(const CGAffineTransform& t, double dx, double dy) {
    return {t.a, t.b, t.c, t.d, t.a * dx + t.c * dy + t.tx, t.b * dx + t.d * dy + t.ty};
}

CGAffineTransform CGAffineTransformInvert(const CGAffineTransform& t) {
    const double determinant = t.a * t.d - t.b * t.c;
    if (determinant == 0 || !std::isfinite(determinant)) return t;
    return {t.d / determinant,  -t.b / determinant, -t.c / determinant, t.a / determinant,
            (t.c * t.ty - t.d * t.tx) / determinant, (t.b * t.tx - t.a * t.ty) / determinant};
}

CGPoint CGPointApplyAffineTransform(CGPoint p, const CGAffineTransform& t) {
    return {t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}

CGRect CGRectApplyAffineTransform(CGRect r, const CGAffineTransform& t) {
    const CGPoint corners[] = {
        CGPointApplyAffineTransform(r.origin, t),
        CGPointApplyAffineTransform({r.origin.x + r.size.width, r.origin.y}, t),
        CGPointApplyAffineTransform({r.origin.x, r.origin.y + r.size.height}, t),
        CGPointApplyAffineTransform({r.origin.x + r.size.width, r.origin.y + r.size.height}, t)};
    double minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const CGPoint& corner : corners) {
        minX = std::fmin(minX, corner.x);
        maxX = std::fmax(maxX, corner.x);
        minY = std::fmin(minY, corner.y);
        maxY = std::fmax(maxY, corner.y);
    }
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}
