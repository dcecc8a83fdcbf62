#pragma once

#include <cstdint>
#include <string>

#include "engine/core/CCTextureAtlas.h"
#include "engine/render/CCParticleSystem.h"

class CCSpriteFrame;

// A particle system that draws each live particle as one textured, coloured, rotated square.
//
// Unbatched, it keeps its quads in an atlas of its own, one slot per pooled particle, and draws the
// live ones with one call, uploading them first when they changed. The atlas makes its GL objects
// at the first draw and the program is taken then, on the engine thread with the view's context
// current, so a system may be made, configured and run anywhere without GL. Batched (a child of a
// CCParticleBatchNode), it writes its quads straight into its block of the batch's atlas and owns
// no quads and no GL objects.
//
// A system without a texture draws nothing. Engine thread only.
class CCParticleSystemQuad : public CCParticleSystem {
public:
    // A new system through initWithTotalParticles or initWithFile; null where those fail.
    static RefPtr<CCParticleSystemQuad> particleWithTotalParticles(uint64_t numberOfParticles);
    static RefPtr<CCParticleSystemQuad> particleWithFile(const std::string& plistFile);

    CCParticleSystemQuad() = default;

    // The base system, then its own atlas of zeroed quads.
    bool initWithTotalParticles(uint64_t numberOfParticles) override;
    // An atlas of zeroed quads for the whole pool, on the system's texture; false (and no atlas)
    // when it cannot be made.
    bool allocMemory();

    // Growing beyond the pool reallocates it: every live particle dies at the next update. Every
    // quad up to the new count shows the texture's rect as last set. While batched the count is
    // fixed by the system's block in the batch: changes are refused with a log line.
    void setTotalParticles(uint64_t totalParticles) override;

    // The whole texture.
    void setTexture(RefPtr<CCTexture2D> texture) override;
    // A rect of the texture, in points: a texture of another GL name replaces the current one,
    // and every quad's texture coordinates cover the rect (its origin row at the quad's top).
    void setTexture(RefPtr<CCTexture2D> texture, CGRect rect);
    // The frame's whole texture when it has another GL name than the current one; the frame's
    // rect is not applied. A null frame is ignored.
    void setDisplayFrame(const CCSpriteFrame* frame);
    // Writes the rect's texture coordinates into every quad of this system (its block of the batch
    // atlas while batched), and keeps the rect for the quads a larger count adds; nothing is
    // written without a texture of some pixels.
    void initTexCoordsWithRect(CGRect rect);

    // The particle's quad: a square of its size centred on the position, turned clockwise by its
    // spin, in its colour (multiplied by alpha with opacityModifyRGB).
    void updateQuadWithParticle(sCCParticle* particle, CGPoint newPosition) override;
    // One indexed draw of the quads the last update wrote; nothing while batched.
    void draw() override;
    // Entering a batch copies the quads into the system's block and drops the system's own atlas;
    // leaving it gives the system an atlas of its own again, with the batch's texture. The
    // block (atlasIndex, totalParticles quads) must lie within the batch's atlas
    // (NamedException "NSInternalInconsistencyException" otherwise).
    void setBatchNode(CCParticleBatchNode* batchNode) override;

    // The system's own quads, one slot per pooled particle; null while batched.
    CCTextureAtlas* textureAtlas() const { return textureAtlas_.get(); }

protected:
    ~CCParticleSystemQuad() override = default;

private:
    // The quads this system writes: its own, or its block of the batch's atlas.
    ccV3F_C4B_T2F_Quad* targetQuads();

    RefPtr<CCTextureAtlas> textureAtlas_;  // allocatedParticles_ slots; null while batched
    CGRect textureRect_;                   // points; the texture's part that every quad shows
};
