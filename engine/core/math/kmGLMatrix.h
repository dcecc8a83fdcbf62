#pragma once

#include <cstdint>

#include "engine/core/math/kmMat4.h"

// Process-wide matrix stacks standing in for fixed-function OpenGL's: one per matrix mode, one of
// them current. Push, pop, load and the multiplications act on the current stack's top; every
// transform is multiplied in on the right, so the last one applied acts first on a vertex.
// Engine thread only: the state is not locked.
//
// Every operation except kmGLFreeStacks first creates the stacks if they do not exist, each
// holding one identity matrix with modelview current. No stack is ever popped below that one
// matrix.

// Matrix modes, the values of the OpenGL constants.
constexpr uint32_t KM_GL_MODELVIEW = 0x1700;
constexpr uint32_t KM_GL_PROJECTION = 0x1701;
constexpr uint32_t KM_GL_TEXTURE = 0x1702;

void kmGLInitStacks();
// Releases the three stacks; the next operation starts again from identity tops.
void kmGLFreeStacks();
// Makes the mode's stack current; any other value is ignored.
void kmGLSetMatrixMode(uint32_t mode);
// Pushes a copy of the current top.
void kmGLPush();
// Pops the current stack; refused with a log line when only its last matrix is left.
void kmGLPop();
void kmGLSetIdentity();
void kmGLLoad(const kmMat4* pIn);
// top = top x pIn.
void kmGLMultiply(const kmMat4* pIn);
// top = top x the 2D affine matrix of kmMat4MultiplyAffine, the fast form of kmGLMultiply for
// node transforms.
void kmGLMultiplyAffine(float a, float b, float c, float d, float tx, float ty, float tz);
void kmGLTranslate(float x, float y, float z);
// Rotation by the angle in degrees about the axis, which is normalised first.
void kmGLRotate(float angle, float x, float y, float z);
void kmGLScale(float x, float y, float z);
// Copies the top of the mode's stack, current or not; any other mode leaves pOut untouched.
void kmGLGetMatrix(uint32_t mode, kmMat4* pOut);
