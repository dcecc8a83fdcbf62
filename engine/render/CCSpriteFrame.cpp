#include "engine/render/CCSpriteFrame.h"

#include "engine/core/CCDirector.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "platform/foundation/StringUtils.h"

namespace {
double scaleFactor() { return CCDirector::sharedDirector()->contentScaleFactor(); }

CGRect scaled(CGRect rect, double factor) {
    return CGRectMake(rect.origin.x * factor, rect.origin.y * factor, rect.size.width * factor,
                      rect.size.height * factor);
}

CGPoint scaled(CGPoint point, double factor) { return CGPointMake(point.x * factor, point.y * factor); }

CGSize scaled(CGSize size, double factor) { return CGSizeMake(size.width * factor, size.height * factor); }
}  // namespace

RefPtr<CCSpriteFrame> CCSpriteFrame::frameWithTexture(RefPtr<CCTexture2D> texture, CGRect rect) {
    auto frame = makeRef<CCSpriteFrame>();
    frame->initWithTexture(std::move(texture), rect);
    return frame;
}

RefPtr<CCSpriteFrame> CCSpriteFrame::frameWithTextureFilename(const std::string& filename, CGRect rect) {
    auto frame = makeRef<CCSpriteFrame>();
    frame->initWithTextureFilename(filename, rect);
    return frame;
}

RefPtr<CCSpriteFrame> CCSpriteFrame::frameWithTexture(RefPtr<CCTexture2D> texture, CGRect rectInPixels, bool rotated,
                                                      CGPoint offsetInPixels, CGSize originalSizeInPixels) {
    auto frame = makeRef<CCSpriteFrame>();
    frame->initWithTexture(std::move(texture), rectInPixels, rotated, offsetInPixels, originalSizeInPixels);
    return frame;
}

RefPtr<CCSpriteFrame> CCSpriteFrame::frameWithTextureFilename(const std::string& filename, CGRect rectInPixels,
                                                              bool rotated, CGPoint offsetInPixels,
                                                              CGSize originalSizeInPixels) {
    auto frame = makeRef<CCSpriteFrame>();
    frame->initWithTextureFilename(filename, rectInPixels, rotated, offsetInPixels, originalSizeInPixels);
    return frame;
}

void CCSpriteFrame::initWithTexture(RefPtr<CCTexture2D> texture, CGRect rect) {
    const CGRect pixels = scaled(rect, scaleFactor());
    initWithTexture(std::move(texture), pixels, false, CGPointZero, pixels.size);
}

void CCSpriteFrame::initWithTextureFilename(const std::string& filename, CGRect rect) {
    const CGRect pixels = scaled(rect, scaleFactor());
    initWithTextureFilename(filename, pixels, false, CGPointZero, pixels.size);
}

void CCSpriteFrame::initWithTexture(RefPtr<CCTexture2D> texture, CGRect rectInPixels, bool rotated,
                                    CGPoint offsetInPixels, CGSize originalSizeInPixels) {
    texture_ = std::move(texture);
    textureFilename_.clear();
    initWithPixels(rectInPixels, rotated, offsetInPixels, originalSizeInPixels);
}

void CCSpriteFrame::initWithTextureFilename(const std::string& filename, CGRect rectInPixels, bool rotated,
                                            CGPoint offsetInPixels, CGSize originalSizeInPixels) {
    texture_.reset();
    textureFilename_ = filename;
    initWithPixels(rectInPixels, rotated, offsetInPixels, originalSizeInPixels);
}

void CCSpriteFrame::initWithPixels(CGRect rectInPixels, bool rotated, CGPoint offsetInPixels,
                                   CGSize originalSizeInPixels) {
    const double inverse = 1.0 / scaleFactor();
    rectInPixels_ = rectInPixels;
    rect_ = scaled(rectInPixels, inverse);
    offsetInPixels_ = offsetInPixels;
    offset_ = scaled(offsetInPixels, inverse);
    originalSizeInPixels_ = originalSizeInPixels;
    originalSize_ = scaled(originalSizeInPixels, inverse);
    rotated_ = rotated;
}

RefPtr<CCSpriteFrame> CCSpriteFrame::copy() const {
    auto frame = makeRef<CCSpriteFrame>();
    frame->initWithTextureFilename(textureFilename_, rectInPixels_, rotated_, offsetInPixels_, originalSizeInPixels_);
    frame->texture_ = texture_;
    return frame;
}

std::string CCSpriteFrame::description() const {
    return stringWithFormat("<%s = %p | Texture=%s, Rect = (%.2f,%.2f,%.2f,%.2f)> rotated:%d offset=(%.2f,%.2f)",
                            className(*this).c_str(), static_cast<const void*>(this), textureFilename_.c_str(),
                            rect_.origin.x, rect_.origin.y, rect_.size.width, rect_.size.height, rotated_ ? 1 : 0,
                            offsetInPixels_.x, offsetInPixels_.y);
}

RefPtr<CCTexture2D> CCSpriteFrame::texture() const {
    if (texture_) return texture_;
    if (!textureFilename_.empty()) return CCTextureCache::sharedTextureCache()->addImage(textureFilename_);
    return nullptr;
}

void CCSpriteFrame::setTexture(RefPtr<CCTexture2D> texture) { texture_ = std::move(texture); }

void CCSpriteFrame::setRect(CGRect rect) {
    rect_ = rect;
    rectInPixels_ = scaled(rect, scaleFactor());
}

void CCSpriteFrame::setRectInPixels(CGRect rectInPixels) {
    rectInPixels_ = rectInPixels;
    rect_ = scaled(rectInPixels, 1.0 / scaleFactor());
}

void CCSpriteFrame::setOffset(CGPoint offset) {
    offset_ = offset;
    offsetInPixels_ = scaled(offset, scaleFactor());
}

void CCSpriteFrame::setOffsetInPixels(CGPoint offsetInPixels) {
    offsetInPixels_ = offsetInPixels;
    offset_ = scaled(offsetInPixels, 1.0 / scaleFactor());
}
