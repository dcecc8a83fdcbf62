#pragma once

#include <chrono>

#include "PadlinkSDK/PadlinkRPCLib/JPNetService.h"
#include "PadlinkSDK/PadlinkRPCLib/JPNetServiceBrowser.h"
#include "platform/foundation/RunLoop.h"

// Runs the main thread's loop until `done` holds, or 10 s pass (a guard against hangs, not a
// measurement). Call on the main thread.
inline bool pumpMainUntil(const std::function<bool()>& done) {
    for (auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
         !done() && std::chrono::steady_clock::now() < giveUp;) {
        RunLoop::main().waitForWork(0.05);
        RunLoop::main().runOnce();
    }
    return done();
}

// Records browser and service reports as lines ("add phone", "failed <domain> <code>", "stopped");
// keeps the services added.
struct DiscoveryRecorder : JPNetServiceBrowserDelegate, JPNetServiceDelegate {
    std::vector<std::string> lines;
    std::vector<RefPtr<JPNetService>> added;
    std::function<void(JPNetService*)> onFailure;  // runs inside the failure report

    void padlinkServiceBrowserDidAddService(JPNetServiceBrowser*, JPNetService* service) override {
        lines.push_back("add " + service->name());
        added.emplace_back(service);
    }
    void padlinkServiceBrowserDidRemoveService(JPNetServiceBrowser*, JPNetService* service) override {
        lines.push_back("remove " + service->name());
    }
    void padlinkNetServiceDidResolve(JPNetService* s) override {
        lines.push_back("resolved " + s->resolvedHost() + " " + s->resolvedAddr() + " " + std::to_string(s->resolvedPort()));
    }
    void padlinkNetService(JPNetService* service, const RefPtr<Error>& error) override {
        lines.push_back("failed " + error->domain() + " " + std::to_string(error->code()));
        if (onFailure) onFailure(service);
    }
    void padlinkNetServiceDidStopResolving(JPNetService*) override { lines.push_back("stopped"); }
};
