#include <gtest/gtest.h>

#include <string>

#include "engine/actions/ease/CCEaseBackIn.h"
#include "engine/actions/ease/CCEaseBackInOut.h"
#include "engine/actions/ease/CCEaseBackOut.h"
#include "engine/actions/ease/CCEaseBounceIn.h"
#include "engine/actions/ease/CCEaseBounceInOut.h"
#include "engine/actions/ease/CCEaseBounceOut.h"
#include "engine/actions/ease/CCEaseElasticIn.h"
#include "engine/actions/ease/CCEaseElasticInOut.h"
#include "engine/actions/ease/CCEaseElasticOut.h"
#include "engine/actions/ease/CCEaseExponentialIn.h"
#include "engine/actions/ease/CCEaseExponentialInOut.h"
#include "engine/actions/ease/CCEaseExponentialOut.h"
#include "engine/actions/ease/CCEaseIn.h"
#include "engine/actions/ease/CCEaseInOut.h"
#include "engine/actions/ease/CCEaseOut.h"
#include "engine/actions/ease/CCEaseSineIn.h"
#include "engine/actions/ease/CCEaseSineInOut.h"
#include "engine/actions/ease/CCEaseSineOut.h"
#include "engine/actions/interval/CCMoveBy.h"
#include "engine/core/CCNode.h"
#include "platform/foundation/NamedException.h"
#include "support/AllocationCounter.h"
#include "support/HeadlessDirectorTest.h"

namespace {

// What the inner actions of one ease (its copies and reverses included) were last told.
struct Seen {
    float t = -1;
    bool reversed = false;
    bool stopped = false;
};

// An inner action of 2 s that reports to a shared record; its reverse reports as reversed.
struct Probe : CCActionInterval {
    explicit Probe(Seen* seen = nullptr, bool reversed = false) : seen_(seen), reversed_(reversed) {
        initWithDuration(2);
    }
    void update(float t) override { *seen_ = {t, reversed_, false}; }
    void stop() override {
        seen_->stopped = true;
        CCActionInterval::stop();
    }
    RefPtr<CCFiniteTimeAction> reverse() const override { return makeRef<Probe>(seen_, !reversed_); }
    Probe* makeEmptyCopy() const override { return new Probe(seen_, reversed_); }
    Seen* seen_;
    bool reversed_;
};

using Make = RefPtr<CCActionEase> (*)(RefPtr<CCActionInterval>);

// An ease of class E around the action, made with the parameters.
template <typename E, auto... parameters>
RefPtr<CCActionEase> ease(RefPtr<CCActionInterval> action) {
    return E::actionWithAction(std::move(action), parameters...);
}

// The rate or period of an ease; 0 for the others.
float parameter(const CCAction* action) {
    if (auto* rate = dynamic_cast<const CCEaseRateAction*>(action)) return rate->rate();
    if (auto* elastic = dynamic_cast<const CCEaseElastic*>(action)) return elastic->period();
    return 0;
}

TEST(CCEaseActions, CurvesPassTheExpectedProgressAtFixedPoints) {
    struct Row {
        const char* name;
        Make make;
        float t;
        float want;
    };
    const Row rows[] = {
        {"plain", ease<CCActionEase>, 0.3f, 0.3f},
        {"in 2", ease<CCEaseIn, 2.0f>, 0.5f, 0.25f},
        {"out 2", ease<CCEaseOut, 2.0f>, 0.5f, 0.70710677f},
        {"in-out 2 early", ease<CCEaseInOut, 2.0f>, 0.25f, 0.125f},
        {"in-out 2 late", ease<CCEaseInOut, 2.0f>, 0.75f, 0.875f},
        {"exponential in at 0", ease<CCEaseExponentialIn>, 0, 0},
        {"exponential in at 1", ease<CCEaseExponentialIn>, 1, 0.999f},
        {"exponential out", ease<CCEaseExponentialOut>, 0.5f, 0.96875f},
        {"exponential out at 1", ease<CCEaseExponentialOut>, 1, 1},
        {"exponential in-out at 0", ease<CCEaseExponentialInOut>, 0, 0.00048828125f},
        {"exponential in-out at 1", ease<CCEaseExponentialInOut>, 1, 0.99951171875f},
        {"sine in", ease<CCEaseSineIn>, 0.5f, 0.29289322f},
        {"sine out", ease<CCEaseSineOut>, 0.5f, 0.70710677f},
        {"sine in-out", ease<CCEaseSineInOut>, 0.25f, 0.14644661f},
        {"elastic in", ease<CCEaseElasticIn>, 0.9f, -0.25f},
        {"elastic in at 1", ease<CCEaseElasticIn>, 1, 1},
        {"elastic out overshoots", ease<CCEaseElasticOut>, 0.1f, 1.25f},
        {"elastic out at 1", ease<CCEaseElasticOut>, 1, 1},
        {"elastic out, period 0 taken as 0.3", ease<CCEaseElasticOut, 0.0f>, 0.1f, 1.25f},
        {"elastic in, period 0 taken as 0.3", ease<CCEaseElasticIn, 0.0f>, 0.9f, -0.25f},
        {"elastic in-out, period 0 taken as 0.45", ease<CCEaseElasticInOut, 0.0f>, 0.5f, 0.5f},
        {"bounce out at 1", ease<CCEaseBounceOut>, 1, 1},
        {"bounce out, first drop", ease<CCEaseBounceOut>, 0.2f, 0.3025f},
        {"bounce in at 0", ease<CCEaseBounceIn>, 0, 0},
        {"bounce in-out early", ease<CCEaseBounceInOut>, 0.25f, 0.1171875f},
        {"bounce in-out late", ease<CCEaseBounceInOut>, 0.75f, 0.8828125f},
        {"back in dips below 0", ease<CCEaseBackIn>, 0.42f, -0.100004f},
        {"back out overshoots", ease<CCEaseBackOut>, 0.58f, 1.100004f},
        {"back in-out", ease<CCEaseBackInOut>, 0.25f, -0.09968184f},
        {"back in-out halfway", ease<CCEaseBackInOut>, 0.5f, 0.5f},
    };
    for (const Row& row : rows) {
        Seen seen;
        RefPtr<CCActionEase> eased = row.make(makeRef<Probe>(&seen));
        EXPECT_EQ(eased->duration(), 2) << row.name;
        eased->update(row.t);
        EXPECT_NEAR(seen.t, row.want, 1e-6) << row.name;
    }
    Seen seen;
    RefPtr<CCEaseElasticInOut> inOut = CCEaseElasticInOut::actionWithAction(makeRef<Probe>(&seen), 0);
    inOut->update(0.5f);
    EXPECT_EQ(inOut->period(), 0.3f * 1.5f);
    EXPECT_EQ(CCEaseElastic::actionWithAction(makeRef<Probe>())->period(), 0.3f);
}

TEST(CCEaseActions, ReversesPairTheCurvesAroundTheInnerReverseAndCopiesKeepParameters) {
    struct Row {
        Make make;
        const char* reverseClass;
        float reverseParameter = 0;  // the rate or period; 0 for curves without one
    };
    const Row rows[] = {
        {ease<CCEaseIn, 3.0f>, "CCEaseIn", 0.33333334f},
        {ease<CCEaseOut, 2.0f>, "CCEaseOut", 0.5f},
        {ease<CCEaseInOut, 2.0f>, "CCEaseInOut", 2},
        {ease<CCEaseExponentialIn>, "CCEaseExponentialOut"},
        {ease<CCEaseExponentialOut>, "CCEaseExponentialIn"},
        {ease<CCEaseExponentialInOut>, "CCEaseExponentialInOut"},
        {ease<CCEaseSineIn>, "CCEaseSineOut"},
        {ease<CCEaseSineOut>, "CCEaseSineIn"},
        {ease<CCEaseSineInOut>, "CCEaseSineInOut"},
        {ease<CCEaseElasticIn, 0.5f>, "CCEaseElasticOut", 0.5f},
        {ease<CCEaseElasticOut, 0.5f>, "CCEaseElasticIn", 0.5f},
        {ease<CCEaseElasticInOut, 0.5f>, "CCEaseElasticInOut", 0.5f},
        {ease<CCEaseBounceIn>, "CCEaseBounceOut"},
        {ease<CCEaseBounceOut>, "CCEaseBounceIn"},
        {ease<CCEaseBounceInOut>, "CCEaseBounceInOut"},
        {ease<CCEaseBackIn>, "CCEaseBackOut"},
        {ease<CCEaseBackOut>, "CCEaseBackIn"},
        {ease<CCEaseBackInOut>, "CCEaseBackInOut"},
    };
    for (const Row& row : rows) {
        Seen seen;
        RefPtr<CCActionEase> eased = row.make(makeRef<Probe>(&seen));
        RefPtr<CCAction> reverse = eased->reverse();
        ASSERT_NE(reverse, nullptr) << row.reverseClass;
        EXPECT_EQ(className(*reverse), row.reverseClass);
        EXPECT_EQ(parameter(reverse.get()), row.reverseParameter) << row.reverseClass;
        reverse->update(0.5f);
        EXPECT_TRUE(seen.reversed) << row.reverseClass;
        // The reverse's reverse bends time as the original does, around the original action.
        const float reversedTwice = (refCast<CCFiniteTimeAction>(reverse)->reverse()->update(0.3f), seen.t);
        EXPECT_FALSE(seen.reversed);
        eased->update(0.3f);
        EXPECT_EQ(seen.t, reversedTwice) << row.reverseClass;
        RefPtr<CCAction> copy = eased->copy();
        EXPECT_EQ(className(*copy), className(*eased));
        EXPECT_EQ(parameter(copy.get()), parameter(eased.get())) << row.reverseClass;
        copy->update(0.3f);
        EXPECT_EQ(seen.t, reversedTwice) << row.reverseClass;
    }
    // No reverse where there is nothing to reverse.
    EXPECT_EQ(CCEaseElastic::actionWithAction(makeRef<Probe>())->reverse(), nullptr);
    EXPECT_EQ(CCEaseIn::actionWithAction(CCActionInterval::actionWithDuration(1), 2)->reverse(), nullptr);
}

using CCEaseActionsTest = HeadlessDirectorTest;

TEST_F(CCEaseActionsTest, AnEaseRunsForItsInnerDurationWithoutAllocatingAndStopsTheInnerAction) {
    RefPtr<CCNode> node = CCNode::node();
    node->setPosition({10, 10});
    RefPtr<CCEaseInOut> eased = CCEaseInOut::actionWithAction(CCMoveBy::actionWithDuration(1, {64, 0}), 3);
    eased->startWithTarget(node.get());
    {
        AllocationCounter allocations;
        for (int frame = 0; frame < 40 && !eased->isDone(); ++frame) eased->step(1 / 32.0f);
        EXPECT_EQ(allocations.count(), 0u);
    }
    EXPECT_TRUE(eased->isDone());
    EXPECT_EQ(node->position(), (CGPoint{74, 10}));
    Seen seen;
    RefPtr<CCActionEase> probe = CCActionEase::actionWithAction(makeRef<Probe>(&seen));
    probe->startWithTarget(node.get());
    probe->stop();
    EXPECT_TRUE(seen.stopped);
    EXPECT_THROW(CCActionEase::actionWithAction(nullptr), NamedException);
}

}  // namespace
