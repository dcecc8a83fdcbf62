// The drawing walk of a node tree (visit: matrix push, node transform, children in z order, pop)
// over about 2000 nodes with empty drawing, with clean cached transforms and with every node's
// transform dirtied each time, against the limit: the same tree as plain structs walked
// recursively with glm matrix products.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include <glm/mat4x4.hpp>

#include "bench/BenchmarkPairs.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCNode.h"
#include "engine/core/math/kmGLMatrix.h"

namespace {

// Fan-out per level below the root: 10 + 10·10 + 100·19 = 2010 nodes under the root.
constexpr int kFanOut[] = {10, 10, 19};

// The placement of the i-th node made, the same for both trees.
struct Placement {
    float x, y, rotation, scale;
};

Placement placementOf(int index) {
    return {float(index % 37) * 3.5f, float(index % 23) * 2.25f, float(index % 7) * 5.0f, 1.0f + float(index % 3) * 0.25f};
}

// MARK: ours

struct OurTree {
    RefPtr<CCNode> root;
    std::vector<CCNode*> nodes;  // every node, root first
};

void grow(OurTree& tree, CCNode* parent, int level, int& index) {
    if (level == int(std::size(kFanOut))) return;
    for (int i = 0; i < kFanOut[level]; ++i) {
        RefPtr<CCNode> child = CCNode::node();
        const Placement p = placementOf(index++);
        child->setPosition({p.x, p.y});
        child->setRotation(p.rotation);
        child->setScale(p.scale);
        child->setContentSize({16, 16});
        child->setAnchorPoint({0.5, 0.5});
        parent->addChild(child.get(), i % 3 - 1);
        tree.nodes.push_back(child.get());
        grow(tree, child.get(), level + 1, index);
    }
}

OurTree& ourTree() {
    static OurTree tree = [] {
        OurTree made;
        made.root = CCNode::node();
        made.nodes.push_back(made.root.get());
        int index = 0;
        grow(made, made.root.get(), 0, index);
        made.root->visit();  // sorts the children once
        return made;
    }();
    return tree;
}

void visitCleanOurs(benchmark::State& state) {
    OurTree& tree = ourTree();
    kmGLFreeStacks();
    for (auto _ : state) {
        tree.root->visit();
    }
    kmMat4 top;
    kmGLGetMatrix(KM_GL_MODELVIEW, &top);
    benchmark::DoNotOptimize(top);
    state.counters["nodes"] = double(tree.nodes.size());
}

void visitDirtyOurs(benchmark::State& state) {
    OurTree& tree = ourTree();
    kmGLFreeStacks();
    for (auto _ : state) {
        for (CCNode* node : tree.nodes) node->setPosition(node->position());
        tree.root->visit();
    }
}

// MARK: the limit

struct PlainNode {
    float x = 0, y = 0, rotation = 0, scale = 1, anchorX = 0, anchorY = 0;
    bool dirty = true;
    glm::mat4 local{1.0f};
    glm::mat4 world{1.0f};
    std::vector<std::unique_ptr<PlainNode>> children;  // already in drawing order
};

// The node-to-parent transform of a rotated, scaled node about its anchor point, as a 4x4 matrix.
void updateLocal(PlainNode& node) {
    const float radians = node.rotation * 0.017453292f;
    const float c = std::cos(radians), s = std::sin(-radians);
    const float x = node.x - c * node.anchorX * node.scale + s * node.anchorY * node.scale;
    const float y = node.y - s * node.anchorX * node.scale - c * node.anchorY * node.scale;
    node.local = glm::mat4(1.0f);
    node.local[0][0] = c * node.scale;
    node.local[0][1] = s * node.scale;
    node.local[1][0] = -s * node.scale;
    node.local[1][1] = c * node.scale;
    node.local[3][0] = x;
    node.local[3][1] = y;
    node.dirty = false;
}

void walk(PlainNode& node, const glm::mat4& parent) {
    if (node.dirty) updateLocal(node);
    node.world = parent * node.local;
    for (const std::unique_ptr<PlainNode>& child : node.children) walk(*child, node.world);
}

void grow(PlainNode& parent, std::vector<PlainNode*>& all, int level, int& index) {
    if (level == int(std::size(kFanOut))) return;
    for (int i = 0; i < kFanOut[level]; ++i) {
        auto child = std::make_unique<PlainNode>();
        const Placement p = placementOf(index++);
        child->x = p.x;
        child->y = p.y;
        child->rotation = p.rotation;
        child->scale = p.scale;
        child->anchorX = child->anchorY = 8;
        all.push_back(child.get());
        grow(*child, all, level + 1, index);
        parent.children.push_back(std::move(child));
    }
}

struct PlainTree {
    PlainNode root;
    std::vector<PlainNode*> nodes;
};

PlainTree& plainTree() {
    static PlainTree tree = [] {
        PlainTree made;
        made.nodes.push_back(&made.root);
        int index = 0;
        grow(made.root, made.nodes, 0, index);
        return made;
    }();
    return tree;
}

void visitCleanLimit(benchmark::State& state) {
    PlainTree& tree = plainTree();
    const glm::mat4 identity(1.0f);
    for (auto _ : state) {
        walk(tree.root, identity);
        benchmark::DoNotOptimize(tree.root.world);
    }
    state.counters["nodes"] = double(tree.nodes.size());
}

void visitDirtyLimit(benchmark::State& state) {
    PlainTree& tree = plainTree();
    const glm::mat4 identity(1.0f);
    for (auto _ : state) {
        for (PlainNode* node : tree.nodes) node->dirty = true;
        walk(tree.root, identity);
        benchmark::DoNotOptimize(tree.root.world);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int status = runBenchmarkPairs(argc, argv,
                                         {
                                             {"visit/clean", visitCleanOurs, visitCleanLimit},
                                             {"visit/dirty", visitDirtyOurs, visitDirtyLimit},
                                         },
                                         "glm", benchmark::kMicrosecond);

    // The tree goes before the process does, with the director it took its scheduler from.
    ourTree().root.reset();
    CCDirector::sharedDirector()->end();
    CCDirector::setSharedDirector(nullptr);
    return status;
}
