#pragma once

#include <epoxy/gl.h>

#include "engine/core/ccTypes.h"

class CCGLProgram;

// The engine's record of the GL state it set, so that GL calls that would change nothing are
// skipped: the current program, the blend factors, the active texture unit and the 2D texture of
// units 0-15, the bound vertex array object and the three vertex attribute arrays. Every change of
// these goes through here, never straight to GL, or the record stops being true.
//
// Engine thread only, with the view's context current. The record describes that one context:
// textures are created and bound on the engine thread only (the texture cache decodes on its
// worker and uploads here), so no other context ever changes what it describes.

// Fixed vertex attribute indices of every program and draw call.
constexpr GLuint kCCVertexAttrib_Position = 0;
constexpr GLuint kCCVertexAttrib_Color = 1;
constexpr GLuint kCCVertexAttrib_TexCoords = 2;

// Flag bits for ccGLSetVertexAttribs, one per attribute index above.
constexpr GLuint kCCVertexAttribFlag_None = 0;
constexpr GLuint kCCVertexAttribFlag_Position = 1 << 0;
constexpr GLuint kCCVertexAttribFlag_Color = 1 << 1;
constexpr GLuint kCCVertexAttribFlag_TexCoords = 1 << 2;
constexpr GLuint kCCVertexAttribFlag_PosColorTex =
    kCCVertexAttribFlag_Position | kCCVertexAttribFlag_Color | kCCVertexAttribFlag_TexCoords;

// Texture units whose binding is recorded.
constexpr GLuint kCCMaxActiveTexture = 16;

// Logs "OpenGL error 0x%04X in <function> <line>" naming the caller when GL has an error pending,
// and returns that error (GL_NO_ERROR when there is none). Clears the error.
#define CC_CHECK_GL_ERROR() ccCheckGLErrorAt(__PRETTY_FUNCTION__, __LINE__)
GLenum ccCheckGLErrorAt(const char* function, int line);

// Forgets every recorded value, so that the next call of each kind reaches GL, and frees the
// matrix stacks. Needs no GL context.
void ccGLInvalidateStateCache();

void ccGLUseProgram(GLuint program);
// Deletes the program; the current program becomes unknown when it was this one.
void ccGLDeleteProgram(GLuint program);

// Sets the blend factors unless they are the ones last set; (GL_ONE, GL_ZERO) turns blending off.
void ccGLSetBlendFunc(GLenum sfactor, GLenum dfactor);
// Applies a pair without looking at the record: (GL_ONE, GL_ZERO) disables blending, any other
// pair enables it with those factors.
void ccGLApplyBlending(GLenum sfactor, GLenum dfactor);
// Sets the additive blend equation and re-applies the recorded pair, after something outside the
// engine changed them.
void ccGLReapplyBlending();

// Binds the 2D texture on unit 0.
void ccGLBindTexture(GLuint name);
// Makes the unit active and binds the 2D texture there, each only when it changes. After it, GL
// texture calls act on that texture. Units from kCCMaxActiveTexture on are refused with a log line.
void ccGLBindTextureOnUnit(GLuint unit, GLuint name);
// Deletes the texture; every unit that held it becomes unknown, since GL unbinds it and a later
// texture may reuse the name.
void ccGLDeleteTexture(GLuint name);

// Binds the vertex array object (0: none).
void ccGLBindVertexArray(GLuint vao);
// Deletes the vertex array object; when it is the bound one the record becomes 0, as GL's binding
// does, so a later object reusing the name is bound again.
void ccGLDeleteVertexArray(GLuint vao);

// Unbinds any vertex array object, then enables the attribute arrays whose flag bit is set and
// disables the others, each only when its state changes. The arrays recorded are those of "no
// vertex array object": arrays enabled while an object is bound belong to that object.
void ccGLSetVertexAttribs(GLuint flags);

// Receives a node's glServerState at the start of its draw; no server state is recorded, so
// nothing happens.
void ccGLApplyServerState(int flags);

// Announces that the projection matrix was rebuilt (by the director or a grid). Nothing recorded
// depends on it.
void ccGLProjectionChanged();

// MARK: the draw path

// The start of every draw call: `program` current, with its built-in matrices taken from the
// current model-view and projection stacks.
void ccGLUseProgramWithBuiltins(CCGLProgram& program);
// The start of a node's draw: its server state (CCNode::glServerState), ccGLUseProgramWithBuiltins,
// then its blend pair (ccGLSetBlendFunc).
void ccGLPrepareNodeDraw(int serverState, CCGLProgram& program, ccBlendFunc blend);

// The vertex arrays one draw reads. Each pointer is the first element of its array, and null leaves
// that attribute out; `stride` is the bytes from one vertex to the next, 0 for tightly packed
// arrays. Positions are `positionSize` floats (2 or 3), texture coordinates two floats, colours four
// bytes 0-255 or, with `colorType` GL_FLOAT, four floats 0-1.
struct ccVertexAttribArrays {
    const void* position = nullptr;
    GLint positionSize = 2;
    const void* texCoords = nullptr;
    const void* color = nullptr;
    GLenum colorType = GL_UNSIGNED_BYTE;
    GLsizei stride = 0;
};

// The arrays of interleaved vertices from `first` on. With `first` null the pointers are the byte
// offsets of the fields, for vertices at the start of a buffer (ccGLSetBufferAttribArrays).
ccVertexAttribArrays ccInterleavedAttribArrays(const ccV3F_C4B_T2F* first);
ccVertexAttribArrays ccInterleavedAttribArrays(const ccV2F_C4B_T2F* first);

// For a draw from client memory: enables exactly the arrays given (ccGLSetVertexAttribs, which
// unbinds any vertex array object), unbinds the array buffer, which GL would otherwise read instead
// of client memory, and points the arrays at the memory.
void ccGLSetVertexAttribArrays(const ccVertexAttribArrays& arrays);
// For a vertex array object being set up, bound together with its array buffer: enables the arrays
// whose flag bit is set (all three unless told otherwise) in that object and points them into the
// buffer (the pointers are byte offsets, and null is offset 0).
void ccGLSetBufferAttribArrays(const ccVertexAttribArrays& arrays, GLuint flags = kCCVertexAttribFlag_PosColorTex);
