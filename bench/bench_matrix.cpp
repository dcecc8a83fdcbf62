// The matrix work of every frame (4x4 products, the model-view stack bracket around each node)
// and of projection set-up, against glm doing the same in the same run.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/mat4x4.hpp>

#include "engine/core/math/kmGLMatrix.h"
#include "engine/core/math/kmMat4.h"
#include "engine/core/math/kmVec3.h"

#include "bench/BenchmarkPairs.h"

namespace {

// A node-like transform: rotation, scale and translation, well conditioned.
kmMat4 sampleMatrix(float angle, float x) {
    kmMat4 rotation, scaling, m;
    const kmVec3 axis = {0.2f, 0.3f, 1.0f};
    kmMat4MakeRotationAxis(&rotation, &axis, angle);
    kmMat4MakeScaling(&scaling, 1.5f, 0.75f, 1.0f);
    kmMat4Multiply(&m, &rotation, &scaling);
    m.mat[12] = x;
    m.mat[13] = -x / 2;
    return m;
}

glm::mat4 toGlm(const kmMat4& m) {
    glm::mat4 g;
    std::memcpy(&g, m.mat, sizeof m.mat);  // both column-major, 16 packed floats
    return g;
}

const kmMat4 kmA = sampleMatrix(0.4f, 12), kmB = sampleMatrix(-1.1f, 3);
const glm::mat4 glmA = toGlm(kmA), glmB = toGlm(kmB);
const kmVec3 kmEye = {0, 0, 415.7f}, kmCenter = {0, 0, 0}, kmUp = {0, 1, 0};
const glm::vec3 glmEye(0, 0, 415.7f), glmCenter(0, 0, 0), glmUp(0, 1, 0);
constexpr float fovY = 60, aspect = 4.0f / 3.0f, zNear = 0.1f, zFar = 1500;

void multiplyOurs(benchmark::State& state) {
    kmMat4 a = kmA, b = kmB, out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        kmMat4Multiply(&out, &a, &b);
        benchmark::DoNotOptimize(out);
    }
}

void multiplyGlm(benchmark::State& state) {
    glm::mat4 a = glmA, b = glmB, out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        out = a * b;
        benchmark::DoNotOptimize(out);
    }
}

void invertOurs(benchmark::State& state) {
    kmMat4 a = kmA, out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(kmMat4Invert(&out, &a));
        benchmark::DoNotOptimize(out);
    }
}

void invertGlm(benchmark::State& state) {
    glm::mat4 a = glmA, out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        out = glm::inverse(a);
        benchmark::DoNotOptimize(out);
    }
}

void lookAtOurs(benchmark::State& state) {
    kmVec3 eye = kmEye, center = kmCenter, up = kmUp;
    kmMat4 out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(eye);
        benchmark::DoNotOptimize(center);
        benchmark::DoNotOptimize(up);
        kmMat4MakeLookAt(&out, &eye, &center, &up);
        benchmark::DoNotOptimize(out);
    }
}

void lookAtGlm(benchmark::State& state) {
    glm::vec3 eye = glmEye, center = glmCenter, up = glmUp;
    glm::mat4 out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(eye);
        benchmark::DoNotOptimize(center);
        benchmark::DoNotOptimize(up);
        out = glm::lookAt(eye, center, up);
        benchmark::DoNotOptimize(out);
    }
}

void perspectiveOurs(benchmark::State& state) {
    float fov = fovY, ratio = aspect;
    kmMat4 out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fov);
        benchmark::DoNotOptimize(ratio);
        benchmark::DoNotOptimize(kmMat4MakePerspective(&out, fov, ratio, zNear, zFar));
        benchmark::DoNotOptimize(out);
    }
}

void perspectiveGlm(benchmark::State& state) {
    float fov = fovY, ratio = aspect;
    glm::mat4 out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fov);
        benchmark::DoNotOptimize(ratio);
        out = glm::perspective(fov * 0.017453f, ratio, zNear, zFar);
        benchmark::DoNotOptimize(out);
    }
}

// One node visit's matrix work: push, move to the node's position, apply its transform, pop.
void nodeBracketOurs(benchmark::State& state) {
    kmGLFreeStacks();
    kmGLInitStacks();
    kmMat4 node = kmB;
    float x = 3, y = 4;
    for (auto _ : state) {
        benchmark::DoNotOptimize(node);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        kmGLPush();
        kmGLTranslate(x, y, 0);
        kmGLMultiply(&node);
        kmGLPop();
    }
    kmGLFreeStacks();
}

void nodeBracketGlm(benchmark::State& state) {
    std::vector<glm::mat4> stack;
    stack.reserve(30);
    stack.emplace_back(1.0f);
    glm::mat4 node = glmB;
    float x = 3, y = 4;
    for (auto _ : state) {
        benchmark::DoNotOptimize(node);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        stack.push_back(stack.back());
        stack.back() = glm::translate(stack.back(), glm::vec3(x, y, 0));
        stack.back() = stack.back() * node;
        benchmark::DoNotOptimize(stack.back());
        stack.pop_back();
    }
}

// Largest element difference between our result and glm's, to show that the pairs compute the
// same thing.
float largestDifference(const kmMat4& ours, const glm::mat4& theirs) {
    const float* other = &theirs[0][0];
    float largest = 0;
    for (int i = 0; i < 16; ++i) {
        largest = std::fmax(largest, std::fabs(ours.mat[i] - other[i]));
    }
    return largest;
}

void printAgreement() {
    kmMat4 ours;
    std::printf("agreement with glm (largest element difference):\n");
    std::printf("  multiply %g\n", largestDifference(*kmMat4Multiply(&ours, &kmA, &kmB), glmA * glmB));
    std::printf("  invert %g\n", largestDifference(*kmMat4Invert(&ours, &kmA), glm::inverse(glmA)));
    std::printf("  lookAt %g\n",
                largestDifference(*kmMat4MakeLookAt(&ours, &kmEye, &kmCenter, &kmUp), glm::lookAt(glmEye, glmCenter, glmUp)));
    std::printf("  perspective %g\n", largestDifference(*kmMat4MakePerspective(&ours, fovY, aspect, zNear, zFar),
                                                        glm::perspective(fovY * 0.017453f, aspect, zNear, zFar)));
    kmGLFreeStacks();
    kmGLTranslate(3, 4, 0);
    kmGLMultiply(&kmB);
    kmGLGetMatrix(KM_GL_MODELVIEW, &ours);
    kmGLFreeStacks();
    std::printf("  node bracket %g\n",
                largestDifference(ours, glm::translate(glm::mat4(1.0f), glm::vec3(3, 4, 0)) * glmB));
}

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkPairs(argc, argv,
                             {
                                 {"multiply", multiplyOurs, multiplyGlm},
                                 {"invert", invertOurs, invertGlm},
                                 {"lookAt", lookAtOurs, lookAtGlm},
                                 {"perspective", perspectiveOurs, perspectiveGlm},
                                 {"push/translate/multiply/pop", nodeBracketOurs, nodeBracketGlm},
                             },
                             "glm", benchmark::kNanosecond, printAgreement);
}
