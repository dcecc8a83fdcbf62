#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/CCTexture2D.h"
#include "engine/core/ccTypes.h"
#include "platform/foundation/Object.h"

// An array of textured quads that all sample one texture, drawn a contiguous run at a time with
// one indexed draw call. Batch nodes, atlas labels and the atlas node keep their quads here.
//
// The quads live in client memory; edits touch only that memory and mark the atlas dirty, and the
// next draw uploads the run it draws (changes outside that run wait for a draw that covers them).
// The GL buffers and the vertex array object are made by the first draw, on the engine thread
// with the view's context current, so an atlas may be built and edited anywhere, without GL.
//
// Slots 0 to totalQuads - 1 are in use; the arrays hold `capacity` quads. Indices are 16-bit, so
// a capacity above kCCTextureAtlasMaxCapacity is refused. An edit that would reach outside the
// slots it may touch is refused with one log line and changes nothing.
//
// Engine thread only.
class CCTextureAtlas : public Object {
public:
    // The most quads that 16-bit indices can address: 4 vertices each, 65536 vertices.
    static constexpr uint64_t kCCTextureAtlasMaxCapacity = 16384;

    // Null when the image cannot be loaded or the capacity is refused.
    static RefPtr<CCTextureAtlas> textureAtlasWithFile(const std::string& file, uint64_t capacity);
    static RefPtr<CCTextureAtlas> textureAtlasWithTexture(RefPtr<CCTexture2D> texture, uint64_t capacity);

    CCTextureAtlas() = default;

    // The texture from the shared texture cache; false when the image cannot be loaded.
    bool initWithFile(const std::string& file, uint64_t capacity);
    // Zeroed quads, the index pattern for every slot, no quads in use, dirty. The texture may be
    // null (the atlas then draws with no texture bound). False (logged) above the maximum capacity.
    bool initWithTexture(RefPtr<CCTexture2D> texture, uint64_t capacity);

    // "<CCTextureAtlas = 0x... | totalQuads =  5>".
    std::string description() const override;

    // Quad i uses vertices 4i, 4i+1, 4i+2 and 4i+3, 4i+2, 4i+1: triangles (tl, bl, tr) and
    // (br, tr, bl).
    void setupIndices();
    // Makes the vertex array object and both buffers and uploads both arrays. Engine thread with
    // the view's context current; the first draw calls it.
    void setupVBOandVAO();
    // Uploads both whole arrays into the existing buffers (after a change of capacity); nothing
    // while the buffers have not been made.
    void mapBuffers();

    // The quad array for direct editing (capacity quads); marks the atlas dirty.
    ccV3F_C4B_T2F_Quad* quads();
    // Replaces the quad array with `quads`, which must hold exactly capacity quads (refused and
    // logged otherwise); does not mark the atlas dirty.
    void setQuads(std::vector<ccV3F_C4B_T2F_Quad> quads);

    // Copies the quad into slot `index` (below the capacity); totalQuads becomes at least index + 1.
    void updateQuad(const ccV3F_C4B_T2F_Quad* quad, uint64_t index);
    // The same for a quad written in place: slot `index` for the caller to fill, or null (logged)
    // outside the capacity.
    ccV3F_C4B_T2F_Quad* quadToUpdate(uint64_t index);
    // Opens slot `index` (at most totalQuads) by moving the quads from there up one slot, and
    // copies the quad into it. Needs room for one more quad.
    void insertQuad(const ccV3F_C4B_T2F_Quad* quad, uint64_t index);
    // The same for `amount` quads from the array `quads`.
    void insertQuads(const ccV3F_C4B_T2F_Quad* quads, uint64_t index, uint64_t amount);
    // Takes the quad at `oldIndex` out and puts it at `newIndex`, the quads between shifting one
    // slot towards oldIndex. Both indexes below totalQuads.
    void insertQuadFromIndex(uint64_t oldIndex, uint64_t newIndex);
    // Moves the run of `amount` quads at oldIndex so that it starts at newIndex, the quads it
    // passes shifting the other way. Both runs within totalQuads.
    void moveQuadsFromIndex(uint64_t oldIndex, uint64_t amount, uint64_t newIndex);
    // Moves the quads from oldIndex through the last quad in use so that they start at newIndex
    // (the runs may overlap), to open or close a gap; totalQuads and the dirty mark are unchanged.
    // The moved run must fit in the capacity.
    void moveQuadsFromIndex(uint64_t oldIndex, uint64_t newIndex);
    // The quads after the removed ones move down; totalQuads shrinks.
    void removeQuadAtIndex(uint64_t index);
    void removeQuadsAtIndex(uint64_t index, uint64_t amount);
    // No quad in use; memory, capacity and the dirty mark stay.
    void removeAllQuads();
    // Zeroes `amount` slots from `index` (within the capacity); totalQuads and dirty unchanged.
    void fillWithEmptyQuadsFromIndex(uint64_t index, uint64_t amount);
    // Counts `amount` more quads in use; the caller has filled them (within the capacity).
    void increaseTotalQuadsWith(uint64_t amount);

    // Resizes both arrays (new slots zeroed); totalQuads is cut to the new capacity. False (logged)
    // above the maximum capacity, with the atlas unchanged; false when memory runs out, with the
    // atlas emptied (no quads, capacity 0).
    bool resizeCapacity(uint64_t newCapacity);

    // Draw all quads in use, the first n, or n from `start` (within the capacity), with one
    // indexed draw call and one added to ccDrawCallCounter. The caller has chosen the program,
    // its uniforms and the blend function. A dirty atlas first uploads the drawn run.
    void drawQuads();
    void drawNumberOfQuads(uint64_t n);
    void drawNumberOfQuads(uint64_t n, uint64_t start);

    uint64_t totalQuads() const { return totalQuads_; }
    uint64_t capacity() const { return capacity_; }
    CCTexture2D* texture() const { return texture_.get(); }
    void setTexture(RefPtr<CCTexture2D> texture);

protected:
    ~CCTextureAtlas() override;

private:
    // True when [index, index + amount) lies within `limit`; otherwise logs the refused operation.
    bool checkRange(const char* operation, uint64_t index, uint64_t amount, uint64_t limit) const;
    // True when the capacity can be indexed; otherwise logs the refusal.
    bool checkCapacity(const char* operation, uint64_t capacity) const;
    void deleteBuffers();

    uint64_t totalQuads_ = 0;                   // quads in use, slots 0 .. totalQuads_ - 1
    uint64_t capacity_ = 0;                     // quads the arrays hold; at most kCCTextureAtlasMaxCapacity
    std::vector<ccV3F_C4B_T2F_Quad> quads_;     // capacity_ quads
    std::vector<GLushort> indices_;             // capacity_ x 6 vertex indices
    RefPtr<CCTexture2D> texture_;
    GLuint buffersVBO_[2] = {0, 0};             // [0] vertices, [1] indices; 0 until the first draw
    bool dirty_ = false;                        // memory holds changes not yet uploaded
    GLuint VAOname_ = 0;                        // records the vertex layout and both buffers
};
