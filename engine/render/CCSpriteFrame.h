#pragma once

#include <string>

#include "engine/core/CCTexture2D.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

// One image inside a texture: where it lies, whether it is stored turned 90 degrees clockwise,
// and how it was trimmed from the untrimmed image. Sprites copy its values when they show it.
//
// Every length is kept twice, in points and in pixels; the setters and initialisers that take
// one derive the other through the director's content scale factor f (points = pixels / f), except
// the two original-size setters, which set only their own field.
//
// The texture is either held, or named by a file that the shared texture cache loads whenever the
// texture is asked for. Engine thread only.
class CCSpriteFrame : public Object {
public:
    // Rect in points, not rotated, no offset, the rect's size as original size.
    static RefPtr<CCSpriteFrame> frameWithTexture(RefPtr<CCTexture2D> texture, CGRect rect);
    static RefPtr<CCSpriteFrame> frameWithTextureFilename(const std::string& filename, CGRect rect);
    // All lengths in pixels.
    static RefPtr<CCSpriteFrame> frameWithTexture(RefPtr<CCTexture2D> texture, CGRect rectInPixels, bool rotated,
                                                  CGPoint offsetInPixels, CGSize originalSizeInPixels);
    static RefPtr<CCSpriteFrame> frameWithTextureFilename(const std::string& filename, CGRect rectInPixels,
                                                          bool rotated, CGPoint offsetInPixels,
                                                          CGSize originalSizeInPixels);

    CCSpriteFrame() = default;

    // The initialisers behind the factories of the same names; they cannot fail.
    void initWithTexture(RefPtr<CCTexture2D> texture, CGRect rect);
    void initWithTextureFilename(const std::string& filename, CGRect rect);
    void initWithTexture(RefPtr<CCTexture2D> texture, CGRect rectInPixels, bool rotated, CGPoint offsetInPixels,
                         CGSize originalSizeInPixels);
    void initWithTextureFilename(const std::string& filename, CGRect rectInPixels, bool rotated,
                                 CGPoint offsetInPixels, CGSize originalSizeInPixels);

    // A new frame with the same file name, pixel values and held texture.
    RefPtr<CCSpriteFrame> copy() const;

    // "<CCSpriteFrame = 0x... | Texture=hud.png, Rect = (0.00,0.00,32.00,32.00)> rotated:0
    // offset=(0.00,0.00)".
    std::string description() const override;

    // The held texture; else the named file's texture from the shared texture cache (null when it
    // cannot be loaded; not kept); else null.
    RefPtr<CCTexture2D> texture() const;
    void setTexture(RefPtr<CCTexture2D> texture);
    const std::string& textureFilename() const { return textureFilename_; }

    // Geometry; each setter also sets its twin in the other unit, save the original sizes.
    CGRect rect() const { return rect_; }
    void setRect(CGRect rect);
    CGRect rectInPixels() const { return rectInPixels_; }
    void setRectInPixels(CGRect rectInPixels);
    bool rotated() const { return rotated_; }
    void setRotated(bool rotated) { rotated_ = rotated; }
    CGPoint offset() const { return offset_; }
    void setOffset(CGPoint offset);
    CGPoint offsetInPixels() const { return offsetInPixels_; }
    void setOffsetInPixels(CGPoint offsetInPixels);
    CGSize originalSize() const { return originalSize_; }
    void setOriginalSize(CGSize size) { originalSize_ = size; }
    CGSize originalSizeInPixels() const { return originalSizeInPixels_; }
    void setOriginalSizeInPixels(CGSize size) { originalSizeInPixels_ = size; }

private:
    void initWithPixels(CGRect rectInPixels, bool rotated, CGPoint offsetInPixels, CGSize originalSizeInPixels);

    CGRect rect_;                   // in the texture, points
    CGRect rectInPixels_;
    bool rotated_ = false;          // stored turned 90 degrees clockwise; the sizes are upright
    CGPoint offset_;                // trimmed centre minus untrimmed centre, points
    CGPoint offsetInPixels_;
    CGSize originalSize_;           // untrimmed image, points
    CGSize originalSizeInPixels_;
    RefPtr<CCTexture2D> texture_;   // may be null
    std::string textureFilename_;   // empty when the frame was given a texture
};
