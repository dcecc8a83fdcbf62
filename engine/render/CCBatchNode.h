#pragma once

#include "engine/core/CCNode.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/core/CCTextureProtocol.h"
#include "engine/core/ccTypes.h"

// What the sprite and particle batch nodes share: one texture atlas holding the quads of all their
// descendants, drawn with one draw call in the batch's blend pair. A batch's visit draws the atlas
// instead of visiting the children, so the children's own draw, grids and cameras are not used.
//
// Engine thread only.
class CCBatchNode : public CCNode, public CCTextureProtocol {
public:
    // The atlas's texture; null without an atlas.
    CCTexture2D* texture() const override;
    ccBlendFunc blendFunc() const override { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) override { blendFunc_ = blendFunc; }
    // Straight-alpha blending when the texture is missing or has no premultiplied alpha.
    void updateBlendFunc();
    CCTextureAtlas* textureAtlas() const { return textureAtlas_.get(); }
    void setTextureAtlas(RefPtr<CCTextureAtlas> textureAtlas);

    // Sorts the children (sortAllChildren), applies the transform, grid and camera as any node
    // does, and draws; the children are not visited.
    void visit() override;
    // Nothing when the atlas is missing or empty. Otherwise updateQuads, then the whole atlas with
    // one draw call, in the node's program ("ShaderPositionTextureColor" when it has none).
    void draw() override;

protected:
    ~CCBatchNode() override = default;

    // Brings the children's quads in the atlas up to date just before they are drawn.
    virtual void updateQuads() {}

    RefPtr<CCTextureAtlas> textureAtlas_;
    ccBlendFunc blendFunc_;
};
