#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <string>
#include <utility>

#include "engine/core/CCNode.h"
#include "engine/core/ccTypes.h"
#include "engine/render/CCGrabber.h"
#include "platform/foundation/Geometry.h"

class CCGLProgram;
class CCTexture2D;

// Columns and rows of a grid; also a cell or lattice position (column, row) within one.
struct ccGridSize {
    int64_t x = 0;
    int64_t y = 0;
    friend bool operator==(const ccGridSize&, const ccGridSize&) = default;
};

// The four corners of one tile, in this order.
struct ccQuad3 {
    ccVertex3F bl, br, tl, tr;
};

// What lets a grid action deform the picture of a whole subtree: while the grid is active, the
// owning node's visit draws the subtree into a texture (beforeDraw .. afterDraw) and the grid then
// draws that texture back through a mesh that the actions move. The mesh is the subclasses'
// business: CCGrid3D is a continuous lattice, CCTiledGrid3D a set of independent tiles.
//
// A grid has at least one column and one row, and no more vertices than 16-bit indices address;
// other sizes throw NamedException "GridBase" when the grid is made. Engine thread only, with the
// view's GL context current.
class CCGridBase : public CCNodeGrid {
public:
    // A capture texture the size of the window in pixels (rounded up to powers of two), then the
    // initialiser below. False, with one log line, when the texture cannot be made.
    bool initWithSize(ccGridSize gridSize);
    // Inactive, no reuse permits; cells of the texture's content size (points) over the grid size;
    // the mesh built undeformed. `flippedTexture`: the texture's rows run top-down.
    bool initWithSize(ccGridSize gridSize, RefPtr<CCTexture2D> texture, bool flippedTexture);

    // "<CCGrid3D = 0x... | Dimensions = 15x10>".
    std::string description() const override;

    // The owning node draws through the grid. Turning it off re-applies the director's projection,
    // which resets the viewport and the matrices.
    bool active() const override { return active_; }
    void setActive(bool active);
    // A change rebuilds the mesh, which loses every deformation.
    bool isTextureFlipped() const { return isTextureFlipped_; }
    void setIsTextureFlipped(bool flipped);
    // How many more grid actions may take this grid over keeping its deformation.
    int32_t reuseGrid() const { return reuseGrid_; }
    void setReuseGrid(int32_t reuseGrid) { reuseGrid_ = reuseGrid; }
    ccGridSize gridSize() const { return gridSize_; }
    // Width and height of one cell, points.
    CGPoint step() const { return step_; }
    void setStep(CGPoint step) { step_ = step; }
    CCTexture2D* texture() const { return texture_.get(); }
    void setTexture(RefPtr<CCTexture2D> texture);
    CCGrabber* grabber() const { return grabber_.get(); }
    void setGrabber(RefPtr<CCGrabber> grabber);
    // The program that draws the mesh; not retained (the shader cache keeps it).
    CCGLProgram* shaderProgram() const { return shaderProgram_; }
    void setShaderProgram(CCGLProgram* program) { shaderProgram_ = program; }

    // A pixel-exact 2D projection of the window, with an identity model-view matrix.
    void set2DProjection();
    // Called by the node's visit after it pushed the model-view matrix and before its transform:
    // drawing from here on lands in the texture.
    void beforeDraw() override;
    // Called by the node's visit after the node and its children were drawn, before it pops the
    // model-view matrix: restores the director's projection and draws the texture through the mesh.
    void afterDraw(CCNode* target) override;

    // Draws the mesh with the texture bound; one draw call.
    virtual void blit() = 0;
    // With a reuse permit, the current mesh becomes the undeformed one and the permit is spent.
    virtual void reuse() = 0;
    // (Re)builds the undeformed mesh, its texture coordinates and its indices.
    virtual void calculateVertexPoints() = 0;

protected:
    ~CCGridBase() override;

    template <class Grid, class... Args>
    static RefPtr<Grid> made(Args&&... args) {
        auto grid = makeRef<Grid>();
        return grid->initWithSize(std::forward<Args>(args)...) ? grid : nullptr;
    }

    // Enables the position and texture-coordinate arrays and draws `count` indices of triangles.
    void drawTriangles(const ccVertex3F* vertices, const ccTex2F* texCoordinates, const GLushort* indices,
                       GLsizei count);

private:
    bool active_ = false;
    int32_t reuseGrid_ = 0;
    ccGridSize gridSize_;               // columns, rows; both at least 1
    RefPtr<CCTexture2D> texture_;
    CGPoint step_;                      // points
    RefPtr<CCGrabber> grabber_;
    bool isTextureFlipped_ = false;
    CCGLProgram* shaderProgram_ = nullptr;
    int directorProjection_ = 0;        // the director's, saved by beforeDraw for afterDraw
};
