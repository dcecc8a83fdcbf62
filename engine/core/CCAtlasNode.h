#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <string>

#include "engine/core/CCNode.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/ccTypes.h"

class CCTextureAtlas;

// The base of nodes that draw a grid of equal-sized items cut from one texture (the character-map
// label, the tile-map atlas). Subclasses fill the quads of the node's texture atlas in
// updateAtlasValues; draw renders the first quadsToDraw of them with one draw call, tinted by the
// colour and opacity, which reach the shader as the one uniform "u_color".
//
// With opacityModifyRGB (the texture's premultiplied alpha) the colour sent to the shader is the
// colour as set, premultiplied by the opacity.
//
// Engine thread only.
class CCAtlasNode : public CCNode, public CCRGBAProtocol {
public:
    // Null when the atlas cannot be made (the image does not load, or the capacity is refused).
    static RefPtr<CCAtlasNode> atlasWithTileFile(const std::string& tile, uint64_t tileWidth, uint64_t tileHeight,
                                                 uint64_t itemsToRender);

    // A node without an atlas: not a way to make an atlas node; subclasses call initWithTileFile.
    CCAtlasNode() = default;

    // Item size in points; opacity 255, white, premultiplied blend; an atlas of the image with
    // capacity itemsToRender, which is also how many quads are drawn; the program
    // "ShaderPositionTexture_uColor". False when the atlas cannot be made.
    bool initWithTileFile(const std::string& tile, uint64_t tileWidth, uint64_t tileHeight, uint64_t itemsToRender);

    // Rebuilds the quads; subclasses must override it (the base throws NamedException
    // "CCAtlasNode:Abstract").
    virtual void updateAtlasValues();
    // Items that fit across and down the texture, from its content size in points.
    void calculateMaxItems();
    // A texture without premultiplied alpha blends with (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA).
    void updateBlendFunc();
    // opacityModifyRGB follows the texture's premultiplied alpha.
    void updateOpacityModifyRGB();

    void draw() override;

    // The colour as set (with opacityModifyRGB), or the colour sent to the shader.
    ccColor3B color() const override;
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;
    void setOpacityModifyRGB(bool modify) override;
    bool doesOpacityModifyRGB() const override { return opacityModifyRGB_; }

    // The atlas's texture; setting it updates the blend function and opacityModifyRGB.
    virtual CCTexture2D* texture() const;
    virtual void setTexture(RefPtr<CCTexture2D> texture);
    virtual ccBlendFunc blendFunc() const { return blendFunc_; }
    virtual void setBlendFunc(ccBlendFunc blendFunc) { blendFunc_ = blendFunc; }

    CCTextureAtlas* textureAtlas() const { return textureAtlas_.get(); }
    void setTextureAtlas(RefPtr<CCTextureAtlas> textureAtlas);
    uint64_t quadsToDraw() const { return quadsToDraw_; }
    void setQuadsToDraw(uint64_t quadsToDraw) { quadsToDraw_ = quadsToDraw; }
    uint64_t itemsPerRow() const { return itemsPerRow_; }
    uint64_t itemsPerColumn() const { return itemsPerColumn_; }
    uint64_t itemWidth() const { return itemWidth_; }
    uint64_t itemHeight() const { return itemHeight_; }

protected:
    RefPtr<CCTextureAtlas> textureAtlas_;
    uint64_t itemsPerRow_ = 0;      // items across the texture
    uint64_t itemsPerColumn_ = 0;   // items down the texture
    uint64_t itemWidth_ = 0;        // points
    uint64_t itemHeight_ = 0;       // points
    uint64_t quadsToDraw_ = 0;      // quads of the atlas that draw renders, from slot 0
    ccBlendFunc blendFunc_;
    uint8_t opacity_ = 0;
    ccColor3B color_;               // sent to the shader; premultiplied with opacityModifyRGB
    ccColor3B colorUnmodified_;     // as set
    bool opacityModifyRGB_ = false;
    GLint uniformColor_ = -1;       // location of "u_color" in the node's program
};
