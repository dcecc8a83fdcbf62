#pragma once

// A controller-library manager and phone for tests of the game's phone glue: the manager records
// what the game asks of it, the phone is always connected.

#include <string>
#include <utility>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPManager.h"
#include "platform/foundation/StringUtils.h"

class FakeDevice : public JPDevice {
public:
    JPDeviceDelegate* delegate() const override { return delegate_; }
    void setDelegate(JPDeviceDelegate* delegate) override { delegate_ = delegate; }
    const std::string& name() const override { return name_; }
    uint64_t playerNumber() const override { return 1; }
    uint64_t index() const override { return 0; }
    bool isConnected() const override { return true; }
    void disconnect() override {}

private:
    JPDeviceDelegate* delegate_ = nullptr;
    std::string name_ = "phone";
};

// Records what the game asks of the library, in order: "state 1", "layout <signature>".
class FakeManager : public JPManager {
public:
    JPManagerDelegate* delegate() const override { return delegate_; }
    void setDelegate(JPManagerDelegate* delegate) override { delegate_ = delegate; }
    int32_t gameState() const override { return gameState_; }
    void setGameState(int32_t state) override {
        gameState_ = state;
        calls.push_back("state " + std::to_string(state));
    }
    uint64_t maxPlayerCount() const override { return maxPlayers_; }
    void setMaxPlayerCount(uint64_t count) override { maxPlayers_ = count; }
    RefPtr<JPControllerLayout> controllerLayout() const override { return layout_; }
    void setControllerLayout(RefPtr<JPControllerLayout> layout) override {
        layout_ = layout;
        calls.push_back("layout " + signature(*layout));
    }
    std::vector<RefPtr<JPDevice>> connectedDevices() const override { return devices; }
    uint64_t devicesCount() const override { return devices.size(); }
    bool isSearching() const override { return false; }
    int32_t layoutIdentifier() const override { return 0; }
    const std::string& applicationName() const override { return name_; }
    void setApplicationName(std::string name) override { name_ = std::move(name); }
    const std::vector<std::string>& imageNames() const override { return images_; }
    void setImageNames(std::vector<std::string> names) override { images_ = std::move(names); }
    bool bustImageCache() const override { return false; }
    void setBustImageCache(bool) override {}
    bool displayDebugFrames() const override { return false; }
    void setDisplayDebugFrames(bool) override {}
    bool launchWindowDisabled() const override { return false; }
    void setLaunchWindowDisabled(bool) override {}
    void addListener(JPListener*, bool) override {}
    void removeListener(JPListener*) override {}

    // The components after the background: "type:identifier:image@x,y".
    static std::string signature(const JPControllerLayout& layout) {
        std::string text;
        for (const auto& component : layout.inputComponentTemplates()) {
            if (component->inputType() == kJPInputTypeBackgroundImage) continue;
            text += stringWithFormat("%s%d:%d:%s@%g,%g", text.empty() ? "" : " ", component->inputType(),
                                     component->inputIdentifier(), component->imageName().value_or("").c_str(),
                                     component->originX(), component->originY());
        }
        return text;
    }

    std::vector<std::string> calls;
    std::vector<RefPtr<JPDevice>> devices;

private:
    JPManagerDelegate* delegate_ = nullptr;
    int32_t gameState_ = -1;
    uint64_t maxPlayers_ = 0;
    RefPtr<JPControllerLayout> layout_;
    std::string name_;
    std::vector<std::string> images_;
};
