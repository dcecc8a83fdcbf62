#pragma once

#include <gtest/gtest.h>

#include "PadlinkSDK/PadlinkRPCLib/JPServiceDiscovery.h"

// Stands in for the DNS-SD daemon: records every operation started and lets the test deliver its
// replies. A fixture installs it with JPServiceDiscovery::setShared.
class JPFakeDiscovery : public JPServiceDiscovery {
public:
    struct Started {
        std::string kind, name;  // "browse", "resolve" or "query"; the type, service or host asked for
        uint32_t interfaceIndex;
        std::function<void(const Reply&)> deliver;
        bool live = true;  // false once the operation was destroyed
    };
    int32_t failStarts = 0;  // the DNS-SD code every start answers while not 0
    std::vector<std::shared_ptr<Started>> started;

    int32_t browse(uint32_t, uint32_t index, const std::string& type, const std::string&,
                   std::function<void(const BrowseReply&)> reply, Operation* operation) override {
        return add("browse", type, index, std::move(reply), operation);
    }
    int32_t resolve(uint32_t, uint32_t index, const std::string& name, const std::string&, const std::string&,
                    std::function<void(const ResolveReply&)> reply, Operation* operation) override {
        return add("resolve", name, index, std::move(reply), operation);
    }
    int32_t queryRecord(uint32_t, uint32_t index, const std::string& host, uint16_t, uint16_t,
                        std::function<void(const RecordReply&)> reply, Operation* operation) override {
        return add("query", host, index, std::move(reply), operation);
    }

    // Delivers a reply to the newest operation of its kind, which must still be live.
    template <typename R>
    void reply(const R& reply) {
        const char* kind = std::is_same_v<R, BrowseReply> ? "browse" : std::is_same_v<R, ResolveReply> ? "resolve" : "query";
        std::shared_ptr<Started> last;  // held: the reply may start operations
        for (const auto& operation : started) if (operation->kind == kind) last = operation;
        ASSERT_TRUE(last && last->live) << kind;
        last->deliver(reply);
    }

private:
    struct FakeOperation : JPServiceDiscoveryOperation {
        std::shared_ptr<Started> started;
        ~FakeOperation() override { started->live = false; }
        int32_t attach() override { return 0; }
    };
    template <typename R>
    int32_t add(const char* kind, std::string name, uint32_t index, std::function<void(const R&)> reply, Operation* operation) {
        if (failStarts != 0) return failStarts;
        auto fake = std::make_unique<FakeOperation>();
        fake->started = started.emplace_back(new Started{kind, std::move(name), index,
                                                         [reply](const Reply& r) { reply(static_cast<const R&>(r)); }});
        *operation = std::move(fake);
        return 0;
    }
};
