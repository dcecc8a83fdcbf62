#include "audio/OALSuspendHandler.h"

#include <gtest/gtest.h>

#include <string>

#include "audio/OALAudioSession.h"

namespace {

// A child that records every change it is sent, as "<name>M1", "<name>I0", ...
class FakeListener : public OALSuspendListener {
public:
    FakeListener(std::string name, std::string& calls) : name_(std::move(name)), calls_(calls) {}
    bool manuallySuspended() const override { return manual_; }
    void setManuallySuspended(bool value) override { manual_ = value; calls_ += name_ + "M" + (value ? "1 " : "0 "); }
    bool interrupted() const override { return interrupted_; }
    void setInterrupted(bool value) override { interrupted_ = value; calls_ += name_ + "I" + (value ? "1 " : "0 "); }

private:
    std::string name_;
    std::string& calls_;
    bool manual_ = false;
    bool interrupted_ = false;
};

struct SuspendTree : ::testing::Test {
    std::string calls;
    OALSuspendHandler handler{[this](bool suspended) { calls += suspended ? "owner1 " : "owner0 "; }};
    FakeListener a{"a", calls}, b{"b", calls};

    void SetUp() override {
        handler.addSuspendListener(&a);
        handler.addSuspendListener(&b);
    }
    std::string take() { return std::exchange(calls, ""); }
};

}  // namespace

TEST_F(SuspendTree, ChildrenSuspendBeforeTheOwnerAndResumeAfterItInReverse) {
    handler.setManuallySuspended(true);
    EXPECT_EQ(take(), "aM1 bM1 owner1 ");
    handler.setManuallySuspended(true);  // a repeat must not take its own suspensions for the children's
    handler.setManuallySuspended(false);
    EXPECT_EQ(take(), "owner0 bM0 aM0 ");
    handler.setInterrupted(true);
    handler.setInterrupted(false);
    EXPECT_EQ(take(), "aI1 bI1 owner1 owner0 bI0 aI0 ");
}

TEST_F(SuspendTree, AChildSuspendedByHandBeforeItsParentStaysSuspended) {
    a.setManuallySuspended(true);
    take();
    handler.setManuallySuspended(true);
    handler.setManuallySuspended(false);
    EXPECT_EQ(take(), "bM1 owner1 owner0 bM0 ");
    EXPECT_TRUE(a.manuallySuspended());
}

TEST_F(SuspendTree, TheOwnerSeesOnlyFlipsOfTheCombinedState) {
    handler.setManuallySuspended(true);
    handler.setInterrupted(true);
    handler.setManuallySuspended(false);
    EXPECT_TRUE(handler.suspended());
    handler.setInterrupted(false);
    EXPECT_EQ(take(), "aM1 bM1 owner1 aI1 bI1 bM0 aM0 owner0 bI0 aI0 ");
    EXPECT_FALSE(handler.suspended());
}

TEST_F(SuspendTree, AddingToASuspendedHandlerLeavesTheChildAndRemovingAStrangerChangesNothing) {
    handler.setManuallySuspended(true);
    FakeListener late{"late", calls}, stranger{"x", calls};
    handler.addSuspendListener(&late);
    handler.removeSuspendListener(&stranger);
    handler.removeSuspendListener(&b);
    take();
    EXPECT_FALSE(late.manuallySuspended());
    handler.setManuallySuspended(false);
    EXPECT_EQ(take(), "owner0 aM0 ");
}

// An owner that takes over a handler can chain the call it replaces; with none, the children still
// follow the handler.
TEST_F(SuspendTree, TheOwnersCallCanBeChainedByItsReplacementOrRemoved) {
    const std::function<void(bool)> previous = handler.suspendStatusChangeTarget();
    ASSERT_TRUE(previous);
    handler.setSuspendStatusChangeTarget([&](bool suspended) {
        calls += "new ";
        previous(suspended);
    });
    handler.setManuallySuspended(true);
    EXPECT_EQ(take(), "aM1 bM1 new owner1 ");
    handler.setSuspendStatusChangeTarget({});
    EXPECT_FALSE(handler.suspendStatusChangeTarget());
    handler.setManuallySuspended(false);
    EXPECT_EQ(take(), "bM0 aM0 ");
}

TEST(OALAudioSession, SuspensionTogglesActivityAndPurgeRestoresDefaults) {
    OALAudioSession* session = OALAudioSession::sharedInstance();
    std::string calls;
    FakeListener child{"c", calls};
    session->addSuspendListener(&child);
    session->setAudioSessionActive(false);
    session->setManuallySuspended(true);
    session->setManuallySuspended(false);
    EXPECT_FALSE(session->audioSessionActive());  // inactive before: stays so
    session->setAudioSessionActive(true);
    session->setManuallySuspended(true);
    EXPECT_FALSE(session->audioSessionActive());
    session->setInterrupted(true);  // never interrupted on the desktop
    EXPECT_FALSE(session->interrupted());
    session->setManuallySuspended(false);
    EXPECT_TRUE(session->audioSessionActive());
    EXPECT_EQ(calls, "cM1 cM0 cM1 cM0 ");
    session->removeSuspendListener(&child);
    session->setHonorSilentSwitch(true);
    OALAudioSession::purgeSharedInstance();
    EXPECT_FALSE(OALAudioSession::sharedInstance()->honorSilentSwitch());
    EXPECT_TRUE(OALAudioSession::sharedInstance()->useHardwareIfAvailable());
}
