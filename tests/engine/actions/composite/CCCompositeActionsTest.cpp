#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/actions/CCActionManager.h"
#include "engine/actions/composite/CCDelayTime.h"
#include "engine/actions/composite/CCRepeat.h"
#include "engine/actions/composite/CCRepeatForever.h"
#include "engine/actions/composite/CCReverseTime.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/composite/CCSpawn.h"
#include "engine/actions/composite/CCSpeed.h"
#include "engine/actions/instant/CCCallBlock.h"
#include "platform/foundation/NamedException.h"
#include "support/AllocationCounter.h"

namespace {

using Log = std::vector<std::string>;

// An interval action that logs "a start", "a 0.5" (its updates) and "a stop"; its copy is "a'" and
// its reverse "a~".
struct Rec : CCActionInterval {
    Rec(std::string name, float duration, Log* log) : name(std::move(name)), log(log) { initWithDuration(duration); }
    void startWithTarget(Object* target) override {
        log->push_back(name + " start");
        CCActionInterval::startWithTarget(target);
    }
    void stop() override {
        log->push_back(name + " stop");
        CCActionInterval::stop();
    }
    void update(float t) override {
        std::ostringstream line;
        line << name << ' ' << t;
        log->push_back(line.str());
    }
    RefPtr<CCAction> copy() const override { return makeRef<Rec>(name + "'", duration_, log); }
    RefPtr<CCFiniteTimeAction> reverse() const override { return makeRef<Rec>(name + "~", duration_, log); }
    std::string name;
    Log* log;
};

// An instant action that logs its name when it applies, as a call action would.
struct Call : CCActionInstant {
    Call(std::string name, Log* log) : name(std::move(name)), log(log) { init(); }
    void update(float) override { log->push_back(name); }
    RefPtr<CCAction> copy() const override { return makeRef<Call>(name + "'", log); }
    std::string name;
    Log* log;
};

struct Maker {
    RefPtr<CCFiniteTimeAction> rec(const char* name, float duration) { return makeRef<Rec>(name, duration, &log); }
    RefPtr<CCFiniteTimeAction> call(const char* name) { return makeRef<Call>(name, &log); }
    RefPtr<CCActionInterval> interval(const char* name, float duration) { return makeRef<Rec>(name, duration, &log); }
    Log log;
};

struct Timeline {
    const char* name;
    std::function<RefPtr<CCAction>(Maker&)> make;
    std::vector<float> dts;  // frame times; the action is done after the last one, not before
    Log expected;
    bool endsDone = true;
};

const Timeline kTimelines[] = {
    {"one large step crosses every part of a nested sequence",
     [](Maker& m) { return CCSequence::actions({m.rec("a", 1), m.call("c1"), m.rec("b", 1), m.call("c2")}); },
     {0, 5},
     {"a start", "a 0", "a 1", "a stop", "c1", "b start", "b 1", "b stop", "c2"}},
    {"two instant actions run in order in the first step",
     [](Maker& m) { return CCSequence::actionOne(m.call("c1"), m.call("c2")); }, {0, 0.1f}, {"c1", "c2"}},
    {"the shorter part of a spawn ends at its own end",
     [](Maker& m) { return CCSpawn::actionOne(m.rec("a", 1), m.rec("b", 3)); },
     {0, 0.5f, 1, 1.5f},
     {"b start", "a start", "a 0", "b 0", "a 0.5", "b 0.166667", "a 1", "a stop", "b 0.5", "b 1"}},
    {"a spawn of two instant actions applies each once",
     [](Maker& m) { return CCSpawn::actionOne(m.call("c1"), m.call("c2")); }, {0, 1}, {"c1", "c2"}},
    {"a reversed instant action applies once",
     [](Maker& m) { return CCReverseTime::actionWithAction(m.call("c")); }, {0, 1}, {"c"}},
    {"a repeat ends in the end state; a crossing step gives the progress into the run",
     [](Maker& m) { return CCRepeat::actionWithAction(m.rec("a", 1), 3); },
     {0, 0.5f, 1, 5},
     {"a start", "a 0", "a 0.5", "a 1", "a stop", "a start", "a 0.5", "a 1", "a stop", "a start", "a 1",
      "a stop"}},
    {"a repeat of an instant action runs one time fewer than asked",
     [](Maker& m) { return CCRepeat::actionWithAction(m.call("c"), 3); }, {0, 1}, {"c", "c"}},
    {"a repeat of an instant action with count 0 is done at once",
     [](Maker& m) { return CCRepeat::actionWithAction(m.call("c"), 0); }, {0}, {}},
    {"a repeat of an action without duration never divides by zero",
     [](Maker& m) {
         RefPtr<CCFiniteTimeAction> still = m.rec("z", 1);
         still->setDuration(0);
         return CCRepeat::actionWithAction(still, 2);
     },
     {0, 1},
     {"z start", "z 1", "z 1", "z stop", "z start", "z 1", "z stop", "z start", "z 1", "z stop"}},
    {"a negative step never sends a sequence back into a finished part",
     [](Maker& m) { return CCSequence::actions({m.rec("a", 1), m.call("c"), m.rec("b", 1)}); },
     {0, 1.5f, -1, 1.5f},
     {"a start", "a 0", "a 1", "a stop", "c", "b start", "b 0.5", "b 0.5", "b 1"}},
    {"repeat-forever carries the overshoot into the next run",
     [](Maker& m) { return CCRepeatForever::actionWithAction(m.interval("a", 1)); },
     {0, 1.25f},
     {"a start", "a 0", "a 1", "a start", "a 0", "a 0.25"},
     false},
    {"speed 2 runs a 1 s action in 0.5 s",
     [](Maker& m) { return CCSpeed::actionWithAction(m.interval("a", 1), 2); },
     {0, 0.25f, 0.25f},
     {"a start", "a 0", "a 0.5", "a 1"}},
    {"reverse-time plays its action backwards",
     [](Maker& m) { return CCReverseTime::actionWithAction(m.rec("a", 1)); },
     {0, 0.25f, 1},
     {"a start", "a 1", "a 0.75", "a 0"}},
    // Reverses of each composite.
    {"sequence reversed", [](Maker& m) { return CCSequence::actionOne(m.rec("a", 1), m.rec("b", 2))->reverse(); },
     {0, 5}, {"b~ start", "b~ 0", "b~ 1", "b~ stop", "a~ start", "a~ 1"}},
    {"spawn reversed puts the padding first",
     [](Maker& m) { return CCSpawn::actionOne(m.rec("a", 1), m.rec("b", 2))->reverse(); },
     {0, 5},
     {"b~ start", "b~ 0", "a~ start", "a~ 1", "b~ 1"}},
    {"repeat reversed", [](Maker& m) { return CCRepeat::actionWithAction(m.rec("a", 1), 2)->reverse(); },
     {0, 5}, {"a~ start", "a~ 0", "a~ 1", "a~ stop", "a~ start", "a~ 1", "a~ stop"}},
    {"repeat-forever reversed",
     [](Maker& m) { return CCRepeatForever::actionWithAction(m.interval("a", 1))->reverse(); },
     {0, 1.25f},
     {"a~ start", "a~ 0", "a~ 1", "a~ start", "a~ 0", "a~ 0.25"},
     false},
    {"speed reversed", [](Maker& m) { return CCSpeed::actionWithAction(m.interval("a", 1), 2)->reverse(); },
     {0, 0.5f}, {"a~ start", "a~ 0", "a~ 1"}},
    {"reverse-time reversed plays a copy forwards",
     [](Maker& m) { return CCReverseTime::actionWithAction(m.rec("a", 1))->reverse(); },
     {0, 1}, {"a' start", "a' 0", "a' 1"}},
    {"delay reversed waits as long", [](Maker&) { return CCDelayTime::actionWithDuration(2)->reverse(); },
     {0, 1.5f, 0.5f}, {}},
};

TEST(CCCompositeActions, TimelinesStepTheirPartsInOrder) {
    RefPtr<Object> target = makeRef<Object>();
    for (const Timeline& timeline : kTimelines) {
        SCOPED_TRACE(timeline.name);
        Maker maker;
        RefPtr<CCAction> action = timeline.make(maker);
        // A copy is a fresh, independent action of the same class around copies of the parts.
        RefPtr<CCAction> copy = action->copy();
        EXPECT_EQ(typeid(*copy), typeid(*action));
        action->startWithTarget(target.get());
        for (size_t i = 0; i < timeline.dts.size(); ++i) {
            action->step(timeline.dts[i]);
            EXPECT_EQ(action->isDone(), i + 1 == timeline.dts.size() && timeline.endsDone) << "after step " << i;
        }
        EXPECT_EQ(maker.log, timeline.expected);
        maker.log.clear();
        copy->startWithTarget(target.get());
        copy->step(0);
        for (const std::string& line : maker.log) EXPECT_EQ(line.substr(0, line.find(' ')).back(), '\'') << line;
    }
}

TEST(CCCompositeActions, FoldsNestPairsFromTheLeftAndStopAtTheFirstNull) {
    Maker m;
    RefPtr<CCFiniteTimeAction> a = m.rec("a", 1);
    EXPECT_EQ(CCSequence::actions({a}), a);
    EXPECT_EQ(CCSpawn::actions({nullptr, a}), nullptr);
    EXPECT_EQ(CCSequence::actions({a, m.rec("b", 2), nullptr, m.rec("c", 4)})->duration(), 3);
    EXPECT_EQ(CCSpawn::actionWithArray({a, m.rec("b", 3), m.rec("c", 2)})->duration(), 3);
    EXPECT_THROW(CCSequence::actionWithArray({}), NamedException);
    EXPECT_THROW(CCSpawn::actionWithArray({a, nullptr}), NamedException);
    EXPECT_THROW(CCSequence::actionOne(a, nullptr), NamedException);
    EXPECT_THROW(CCRepeat::actionWithAction(nullptr, 2), NamedException);
}

TEST(CCCompositeActions, RunningNestedCompositesAllocatesNothingPerFrame) {
    int calls = 0;
    auto delay = [](float seconds) { return CCDelayTime::actionWithDuration(seconds); };
    RefPtr<CCActionInterval> body = refCast<CCActionInterval>(CCSequence::actions(
        {CCSpawn::actionOne(delay(1), delay(0.5f)), CCCallBlock::actionWithBlock([&calls] { ++calls; }),
         CCRepeat::actionWithAction(delay(0.25f), 3), CCReverseTime::actionWithAction(delay(0.5f))}));
    RefPtr<CCActionManager> manager = makeRef<CCActionManager>();
    RefPtr<Object> target = makeRef<Object>();
    manager->addAction(CCRepeatForever::actionWithAction(body).get(), target.get(), false);
    manager->addAction(CCSpeed::actionWithAction(refCast<CCActionInterval>(body->copy()), 3).get(), target.get(),
                       false);
    manager->update(0);
    AllocationCounter counter;
    for (int frame = 0; frame < 300; ++frame) manager->update(1 / 60.0f);
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_EQ(calls, 3);  // the 2.25 s body calls at 1 s and 3.25 s, the sped-up copy at 1/3 s
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(target.get()), 1u);
}

}  // namespace
