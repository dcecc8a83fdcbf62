#include "PadlinkSDK/PadlinkRPCLib/JPDeviceNetworker.h"

#include <gtest/gtest.h>

#include "DiscoveryRecorder.h"
#include "SimulatedPhone.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

namespace {

using Lines = std::vector<std::string>;

// A networker with no device that answers three methods of its own beside the library's, noting
// on `lines` what its handlers do (main thread).
class ScriptedNetworker : public JPDeviceNetworker {
public:
    ScriptedNetworker() : JPDeviceNetworker(nullptr) {}
    Lines lines;

private:
    const HandlerEntry* handlersFor(const std::string& method) const override {
        static const HandlerEntry kOwn[] = {
            {"counted", static_cast<Handler>(&ScriptedNetworker::RPCcountedCall),
             static_cast<DidWriteHandler>(&ScriptedNetworker::RPCdidWritecountedReturn)},
            {"answersThenFails", static_cast<Handler>(&ScriptedNetworker::RPCanswersThenFailsCall)},
            {"clearsThenFails", static_cast<Handler>(&ScriptedNetworker::RPCclearsThenFailsCall)},
        };
        const HandlerEntry* own = findHandlers(kOwn, method);
        return own ? own : JPDeviceNetworker::handlersFor(method);
    }

    // Answers how many times it was called. What it posts to the main queue runs before anything
    // the socket reports afterwards, the write of this answer included.
    void RPCcountedCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
        const std::string count = std::to_string(++counted_);
        lines.push_back("call " + count);
        answer->setRetValue(JPValue(count));
        DispatchQueue::main()->async([self = RefPtr<ScriptedNetworker>(this), count] {
            self->lines.push_back("posted by call " + count);
        });
    }
    void RPCdidWritecountedReturn(const JPMethodReturn& written) {
        lines.push_back("wrote " + written.retValue().stringValue());
    }
    void RPCanswersThenFailsCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
        answer->setRetValue(JPValue("half done"));
        throw NamedException("TestException", "failed after answering");
    }
    void RPCclearsThenFailsCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
        answer.reset();
        throw NamedException("TestException", "failed after clearing");
    }

    int counted_ = 0;
};

// Each written answer is followed by its method's after-write handler, once, when the socket
// reports the write; a method without one (sdkVersion) has nothing follow. A handler that fails
// after clearing its answer leaves its call unanswered, one that fails after answering has it
// answered nil, and the channel goes on after both.
TEST(DeviceNetworker, AnswersAreFollowedByTheirAfterWriteHandlersAndFailedCallsKeepTheChannel) {
    LogCapture log;
    Lines answers;  // written by the phone's script
    SimulatedPhone phone;
    phone.start([&](SimulatedPhone& p) {
        for (const char* method : {"counted", "sdkVersion", "counted"}) answers.push_back(p.ask(method).description());
        p.send(JPMethodCall::methodCallWithMethodName("clearsThenFails")->body());
        for (const char* method : {"sdkVersion", "answersThenFails", "sdkVersion"}) {
            answers.push_back(p.ask(method).description());
        }
        p.hangUp();
    });
    const auto networker = makeRef<ScriptedNetworker>();
    ASSERT_TRUE(networker->connectToIP("127.0.0.1", phone.port()));
    // The input channel closes when the command channel's end is heard, after every write report.
    ASSERT_TRUE(pumpMainUntil([&] { return phone.done && networker->dataPort() == 0; }));
    EXPECT_EQ(answers, (Lines{"\"1\"", "\"0.0.5\"", "\"2\"", "\"0.0.5\"", "nil", "\"0.0.5\""}));
    EXPECT_EQ(networker->lines, (Lines{"call 1", "posted by call 1", "wrote 1", "call 2", "posted by call 2", "wrote 2"}));
    for (const char* line : {"Padlink: The phone's call clearsThenFails failed: TestException: failed after clearing",
                             "Padlink: The phone's call answersThenFails failed: TestException: failed after answering"}) {
        EXPECT_TRUE(log.contains(line)) << line;
    }
}

}  // namespace
