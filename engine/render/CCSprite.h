#pragma once

#include <cstdint>
#include <string>

#include "engine/core/CCNode.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureProtocol.h"
#include "engine/core/ccTypes.h"

class CCSpriteBatchNode;
class CCSpriteFrame;
class CCTextureAtlas;
class Image;

// The atlas index of a sprite whose quad is in no atlas.
inline constexpr uint64_t CCSpriteNoAtlasIndex = 0xFFFFFFFF;

// A textured rectangle: one quad showing a rectangle of a texture, placed, turned, scaled and
// tinted like any node. Lengths in points unless named in pixels.
//
// It draws in one of two modes. Self-render: the quad is in local coordinates and draw() draws
// it, one draw call per sprite. Batch mode (while a descendant of a CCSpriteBatchNode): the quad
// lives in the batch's atlas at atlasIndex, its vertices pre-transformed into the batch's space,
// and is rewritten only when the sprite is dirty; the batch draws all its sprites at once.
//
// The content size is the untrimmed image's size, so that the anchor point refers to the whole
// image while the quad covers only the trimmed rectangle, at offsetPosition inside it.
//
// Engine thread only.
class CCSprite : public CCNode, public CCRGBAProtocol, public CCTextureProtocol {
public:
    // Factories through the initialisers of the same names; null where those fail.
    static RefPtr<CCSprite> spriteWithTexture(RefPtr<CCTexture2D> texture);
    static RefPtr<CCSprite> spriteWithTexture(RefPtr<CCTexture2D> texture, CGRect rect);
    static RefPtr<CCSprite> spriteWithFile(const std::string& file);
    static RefPtr<CCSprite> spriteWithFile(const std::string& file, CGRect rect);
    static RefPtr<CCSprite> spriteWithSpriteFrame(const CCSpriteFrame* frame);
    static RefPtr<CCSprite> spriteWithSpriteFrameName(const std::string& name);
    static RefPtr<CCSprite> spriteWithCGImage(const Image* image, const std::string& key);

    CCSprite() = default;

    // Initialisers; each ends in the two-argument initWithTexture, which subclasses may override.
    // No texture and the zero rect: an empty sprite that draws nothing visible.
    bool init();
    // The whole texture.
    bool initWithTexture(RefPtr<CCTexture2D> texture);
    virtual bool initWithTexture(RefPtr<CCTexture2D> texture, CGRect rect);
    // White, opaque, premultiplied blending, anchor (0.5, 0.5), self-render; then the texture and
    // the rect (stored rotated 90 degrees clockwise when `rotated`) with its size as content size.
    bool initWithTexture(RefPtr<CCTexture2D> texture, CGRect rect, bool rotated);
    // The image file through the shared texture cache; false when it cannot be loaded.
    bool initWithFile(const std::string& file);
    bool initWithFile(const std::string& file, CGRect rect);
    // The frame's texture, rect, rotation and trimming; a null frame gives an empty sprite.
    bool initWithSpriteFrame(const CCSpriteFrame* frame);
    // The frame of that name in the shared frame cache; an unknown name gives an empty sprite
    // and one log line.
    bool initWithSpriteFrameName(const std::string& name);
    // A texture from the picture through the texture cache's addCGImage.
    bool initWithCGImage(const Image* image, const std::string& key);

    // "<CCSprite = 0x... | Rect = (0.00,0.00,32.00,32.00) | tag = -1 | atlasIndex = 4294967295>".
    std::string description() const override;

    // Geometry. setTextureRect shows `rect` of the texture, unrotated, with its size as content
    // size; the three-argument form takes the rotation and the untrimmed size, and places the quad
    // inside the untrimmed box by the frame offset (mirrored by the flips).
    void setTextureRect(CGRect rect);
    virtual void setTextureRect(CGRect rect, bool rotated, CGSize untrimmedSize);
    // Stores the rect the quad covers.
    virtual void setVertexRect(CGRect rect);
    // Writes the quad's texture coordinates for a rect of the texture (the batch's texture in
    // batch mode); nothing without a texture or with one of no pixels.
    virtual void setTextureCoords(CGRect rect);
    CGRect textureRect() const { return rect_; }
    bool textureRectRotated() const { return rectRotated_; }
    CGPoint offsetPosition() const { return offsetPosition_; }
    // A copy of the quad: local coordinates when self-rendered, batch coordinates when batched.
    ccV3F_C4B_T2F_Quad quad() const { return quad_; }
    // Mirroring; a change re-derives the texture coordinates and the offset.
    bool flipX() const { return flipX_; }
    void setFlipX(bool flipX);
    bool flipY() const { return flipY_; }
    void setFlipY(bool flipY);

    // Frames. setDisplayFrame shows the frame (a null frame changes nothing); isFrameDisplayed
    // tells whether the frame's rect, texture and offset are those shown (false for null);
    // displayFrame is a new frame describing what is shown.
    virtual void setDisplayFrame(const CCSpriteFrame* frame);
    // Shows frame `index` (0-based) of the shared animation cache's animation of that name; an
    // unknown name or an index outside the frames changes nothing and logs one line.
    void setDisplayFrameWithAnimationName(const std::string& animationName, int32_t index);
    bool isFrameDisplayed(const CCSpriteFrame* frame) const;
    RefPtr<CCSpriteFrame> displayFrame() const;

    // Colour and opacity. With opacityModifyRGB the colour drawn is the colour set multiplied by
    // the opacity, while color() keeps answering the colour set.
    ccColor3B color() const override;
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;
    void setOpacityModifyRGB(bool modify) override;
    bool doesOpacityModifyRGB() const override { return opacityModifyRGB_; }
    // Writes the colour and opacity into the quad, and the quad into the atlas in batch mode.
    virtual void updateColor();

    // The texture of a self-rendered sprite; setting it is ignored in batch mode and re-derives
    // the blend function and opacityModifyRGB from its premultiplied alpha.
    CCTexture2D* texture() const override { return texture_.get(); }
    void setTexture(RefPtr<CCTexture2D> texture) override;
    ccBlendFunc blendFunc() const override { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) override { blendFunc_ = blendFunc; }
    virtual void updateBlendFunc();

    // Batch mode. setBatchNode joins a batch (not retained; the batch sets the atlas index) or,
    // with null, leaves it: back to self-render with the quad in local coordinates.
    CCSpriteBatchNode* batchNode() const { return batchNode_; }
    virtual void setBatchNode(CCSpriteBatchNode* batchNode);
    uint64_t atlasIndex() const { return atlasIndex_; }
    void setAtlasIndex(uint64_t atlasIndex) { atlasIndex_ = atlasIndex; }
    // The batch's atlas while batched; not retained.
    CCTextureAtlas* textureAtlas() const { return textureAtlas_; }
    void setTextureAtlas(CCTextureAtlas* textureAtlas) { textureAtlas_ = textureAtlas; }
    // Whether the quad must be rewritten into the atlas; subclasses may always answer true.
    virtual bool dirty() const { return dirty_; }
    void setDirty(bool dirty) { dirty_ = dirty; }
    // Batch mode: rewrites the quad when dirty (collapsed when the sprite or a sprite ancestor is
    // hidden), then updates the children.
    virtual void updateTransform();
    // Marks the sprite and its whole subtree dirty.
    void setDirtyRecursively(bool dirty);
    // Marks this sprite and its ancestor sprites up to the batch as needing a re-sort.
    void setReorderChildDirtyRecursively();

    // Transform setters also mark the sprite dirty for its batch.
    void setPosition(CGPoint position) override;
    void setRotation(float degrees) override;
    void setRotationX(float degrees) override;
    void setRotationY(float degrees) override;
    void setSkewX(float degrees) override;
    void setSkewY(float degrees) override;
    void setScaleX(float scale) override;
    void setScaleY(float scale) override;
    void setScale(float scale) override;
    void setVertexZ(float vertexZ) override;
    void setAnchorPoint(CGPoint anchorPoint) override;
    void setVisible(bool visible) override;

    // Children of a batched sprite must be sprites (NamedException
    // "NSInternalInconsistencyException" otherwise) and join the batch with it.
    using CCNode::addChild;
    void addChild(CCNode* child, int64_t z, int64_t tag) override;
    void reorderChild(CCNode* child, int64_t z) override;
    void removeChild(CCNode* child, bool cleanup) override;
    void removeAllChildrenWithCleanup(bool cleanup) override;
    // In batch mode the sorted children sort their own subtrees too.
    void sortAllChildren() override;

    // Self-render: one draw call.
    void draw() override;

protected:
    ~CCSprite() override = default;

private:
    friend class CCSpriteBatchNode;

    // After a transform change in batch mode: marks the subtree dirty once until the next update.
    void markDirtyForBatch();
    // The quad's positions from offsetPosition_ and the rect, untransformed.
    void resetQuadPositions();
    // Every child as a sprite; a batched sprite holds nothing else.
    template <typename F>
    void forEachSpriteChild(F f) const;

    CCTextureAtlas* textureAtlas_ = nullptr;       // the batch's atlas; not retained
    uint64_t atlasIndex_ = CCSpriteNoAtlasIndex;   // slot of the quad in textureAtlas_
    CCSpriteBatchNode* batchNode_ = nullptr;       // not retained; null when self-rendered
    CGAffineTransform transformToBatch_;           // into the batch's space, after updateTransform
    bool dirty_ = false;                           // the quad must be rewritten into the atlas
    bool recursiveDirty_ = false;                  // the subtree was marked since the last update
    bool hasChildren_ = false;
    bool shouldBeHidden_ = false;                  // batch mode: quad collapsed (hidden here or above)
    ccBlendFunc blendFunc_;
    RefPtr<CCTexture2D> texture_;                  // self-render texture
    CGRect rect_;                                  // texture rect shown, points
    bool rectRotated_ = false;                     // stored turned 90 degrees clockwise
    CGPoint offsetPosition_;                       // quad's lower-left corner in the content box
    CGPoint unflippedOffsetPositionFromCenter_;    // the frame's offset, before flips
    ccV3F_C4B_T2F_Quad quad_{};
    uint8_t opacity_ = 255;
    ccColor3B color_{255, 255, 255};               // drawn; premultiplied when opacityModifyRGB_
    ccColor3B colorUnmodified_{255, 255, 255};     // as set
    bool opacityModifyRGB_ = true;
    bool flipX_ = false;
    bool flipY_ = false;
};
