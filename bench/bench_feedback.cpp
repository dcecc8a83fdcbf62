// One frame of the bee's feedback: the trail written, ten buddies chasing it on their springs
// with their wobble, and four full queues of six speech bubbles following moving targets. Against
// the limit: a plain loop doing the same spring, wobble, ease and turning maths over plain structs
// in arrays. Afterwards it prints the draw calls of one frame of the HUD and of the bubbles, from
// the engine's counter.
//
// Needs the generated art (the bee's sheet, "hud.plist" and the two bubble fonts, built with the
// game) and a display for the GL context: run it under xvfb-run or on a desktop.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/BenchWindow.h"
#include "bench/BenchmarkPairs.h"
#include "engine/core/CCDirector.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "engine/render/CCSprite.h"
#include "game/core/Buddy.h"
#include "game/core/GameMessage.h"
#include "game/core/GameMessageDelegate.h"
#include "game/core/GameMessages.h"
#include "game/core/Hud.h"
#include "game/core/HudGameDelegate.h"
#include "game/core/PlayerSwarm.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Random.h"

namespace {

constexpr float kFrame = 1.0f / 60;
constexpr int kQueues = 4;
constexpr int kCacheSize = PlayerSwarm::kCacheSize;

// The bee's head going round the planet, 400 points out, a little further each frame.
CGPoint headPosition(int frame) { return {std::cos(frame * 0.01) * 400, std::sin(frame * 0.01) * 400}; }

// A holder that notes the draw calls of its subtree in the last frame.
class CountingHolder : public CCNode {
public:
    void visit() override {
        const uint64_t before = ccDrawCallCounter;
        CCNode::visit();
        drawCalls = ccDrawCallCounter - before;
    }

    uint64_t drawCalls = 0;
};

class BenchGame : public GameMessageDelegate, public HudGameDelegate {
public:
    CCNode* messagesHolder() const override { return messages.get(); }
    float playerNectar() const override { return 42; }
    float playerHiveHoney() const override { return 7; }
    float playerDistanceTravelled() const override { return 100; }
    float dayTimeRemaining() const override { return 30; }
    CCNode* hudHolder() const override { return hud.get(); }
    void togglePauseGame() override {}
    void resumeGame() override {}
    void quitGame() override {}
    void finishGame() override {}
    void replayGame() override {}

    RefPtr<CountingHolder> messages = makeRef<CountingHolder>();
    RefPtr<CountingHolder> hud = makeRef<CountingHolder>();
};

// The swarm with every buddy showing and four queues of six bubbles, each following a node.
struct Feedback {
    RefPtr<PlayerSwarm> swarm = makeRef<PlayerSwarm>();
    std::array<RefPtr<CCNode>, kQueues> targets;
    std::array<RefPtr<GameMessages>, kQueues> queues;
    std::vector<RefPtr<GameMessage>> bubbles;
};
Feedback* feedback = nullptr;

void ours(benchmark::State& state) {
    int frame = 0;
    for (auto _ : state) {
        ++frame;
        const CGPoint head = headPosition(frame);
        feedback->swarm->updatePlayerCache({head, frame * 0.5f, {255, 255, 255}, false});
        feedback->swarm->updateBuddies(kFrame, 6.0f, frame * 0.5f, true, 10.0f);
        for (int q = 0; q < kQueues; ++q) {
            feedback->targets[q]->setPosition({head.x + q * 30, head.y});
            feedback->queues[q]->update(kFrame, 10.0f);
        }
    }
    benchmark::DoNotOptimize(feedback->swarm->buddy(9)->sprite()->position());
}

struct PlainPose {
    double x, y;
    float rotation;
};
struct PlainBuddy {
    int offset;
    double x, y, vx, vy;
    float invMass, oscTime, oscX, oscY;
};
struct PlainBubble {
    double x, y, vx, vy, offsetX, offsetY;
    float invMass, scale;
};

// The same maths: the trail ring, the turned trailing offset, each buddy's wobble and spring, and
// each bubble's turned offset with the spring for the first of a queue and the ease for the rest.
void limit(benchmark::State& state) {
    std::array<PlainPose, kCacheSize> ring{};
    int index = 0;
    std::array<PlainBuddy, PlayerSwarm::kMaxBuddies> buddies{};
    const std::array<int, PlayerSwarm::kMaxBuddies> offsets = PlayerSwarm::cacheIndexOffsets();
    for (int i = 0; i < PlayerSwarm::kMaxBuddies; ++i) buddies[i] = {offsets[i], 0, 0, 0, 0, 1, 0, 3.1f, 3.7f};
    std::array<PlainBubble, kQueues * 6> bubbles{};
    for (int i = 0; i < kQueues * 6; ++i) bubbles[i] = {0, 0, 0, 0, 0, 50, 1, i % 6 ? 0.8f : 1.0f};
    int frame = 0;
    for (auto _ : state) {
        ++frame;
        const CGPoint head = headPosition(frame);
        index = (index + 1) % kCacheSize;
        ring[index] = {head.x, head.y, frame * 0.5f};

        const float speed = 6.0f / PlayerSwarm::kFullSpeed, slow = speed < 1 ? 1 - speed : 0;
        const float turn = -frame * 0.5f * static_cast<float>(M_PI / 180);
        const float distance = slow * slow * slow * -70;
        const double offsetX = distance * std::cos(turn), offsetY = distance * std::sin(turn);
        const float amplitude = 4 * (slow * 3 + 1);
        for (PlainBuddy& b : buddies) {
            int at = index - b.offset;
            if (at < 0) at += kCacheSize;
            b.oscTime += kFrame;
            const double targetX = offsetX + std::sin(b.oscTime * b.oscX) * amplitude + ring[at].x;
            const double targetY = offsetY + std::sin(b.oscTime * b.oscY) * amplitude + ring[at].y;
            b.vx += b.invMass * kFrame * ((b.x - targetX) * -0.75 - b.vx * 5.0);
            b.vy += b.invMass * kFrame * ((b.y - targetY) * -0.75 - b.vy * 5.0);
            b.x += b.vx, b.y += b.vy;
        }

        const float bubbleTurn = -10.0f * static_cast<float>(M_PI / 180);
        const double c = std::cos(bubbleTurn), s = std::sin(bubbleTurn);
        for (int q = 0; q < kQueues; ++q) {
            double followX = head.x + q * 30, followY = head.y;
            for (int i = 0; i < 6; ++i) {
                PlainBubble& m = bubbles[q * 6 + i];
                const double ox = m.offsetX * m.scale, oy = m.offsetY * m.scale;
                const double px = followX + ox * c - oy * s, py = followY + ox * s + oy * c;
                if (i == 0) {
                    m.vx += kFrame * m.invMass * ((m.x - px) * -0.75 - m.vx * 4.0);
                    m.vy += kFrame * m.invMass * ((m.y - py) * -0.75 - m.vy * 4.0);
                    m.x += m.vx, m.y += m.vy;
                } else {
                    m.x += (px - m.x) * 0.15, m.y += (py - m.y) * 0.15;
                }
                followX = m.x, followY = m.y;
            }
        }
        benchmark::DoNotOptimize(bubbles.data());
        benchmark::DoNotOptimize(buddies.data());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const CGSize size = CGSizeMake(1024, 768);
    if (!benchDisplayAvailable("bench_feedback", size)) return 0;
    // The HUD loads its click through the audio front: no sound device is needed.
    setenv("ALSOFT_DRIVERS", "null", 1);
    setResourceFolder(VANTREL_GENERATED_RESOURCES);
    Random::seed(1);
    int status = 0;
    {
        BenchDirector director("bench_feedback", size);
        if (!director.ready()) return 0;
        CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile("vantrel.plist");
        CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile("hud.plist");
        BenchGame game;
        GameMessage::setGameDelegate(&game);

        Feedback built;
        feedback = &built;
        if (!built.swarm->createBuddies()) {
            std::printf("bench_feedback: the bee's sheet lacks the buddies' frames\n");
            return 1;
        }
        built.swarm->initPlayerCache({headPosition(0), 0, {255, 255, 255}, false});
        for (int i = 0; i < PlayerSwarm::kMaxBuddies; ++i) built.swarm->addBuddyAt(headPosition(0), 0);
        for (int q = 0; q < kQueues; ++q) {
            built.targets[q] = CCNode::node();
            built.queues[q] = makeRef<GameMessages>();
            built.queues[q]->initWithTargetObject(built.targets[q].get());
            for (int i = 0; i < 6; ++i) {
                const int info = i % 2 ? GameMessage::kInfoNectar : GameMessage::kInfoNectarBonus;
                built.bubbles.push_back(GameMessage::gameMessageWithType(2, info, i % 5, q * 2 + 1));
                built.queues[q]->addMessageToEndOfQueue(built.bubbles.back().get(), 1e9f, 10 + i);
            }
        }

        status = runBenchmarkPairs(argc, argv, {{"feedbackFrame", ours, limit}}, "limit", benchmark::kNanosecond);

        // Draw calls of one frame: the HUD in play, and the bubbles (with the buddies').
        RefPtr<CCScene> scene = CCScene::node();
        scene->addChild(game.messages.get());
        scene->addChild(game.hud.get());
        auto hud = makeRef<Hud>();
        if (!hud->init(&game)) return 1;
        director.runWithScene(scene);
        director.drawScene();
        director.drawScene();
        std::printf("draw calls per frame: HUD in play %llu, %zu bubbles %llu\n",
                    static_cast<unsigned long long>(game.hud->drawCalls),
                    built.bubbles.size() + PlayerSwarm::kMaxBuddies,
                    static_cast<unsigned long long>(game.messages->drawCalls));

        // GL objects go while their context is there.
        for (RefPtr<GameMessages>& queue : built.queues) queue.reset();
        built.swarm.reset();
        built.bubbles.clear();
        game.messages->removeFromParentAndCleanup(true);
        game.messages->removeAllChildrenWithCleanup(true);
        game.hud->removeAllChildrenWithCleanup(true);
        hud.reset();
        GameMessage::setGameDelegate(nullptr);
        feedback = nullptr;
    }
    return status;
}
