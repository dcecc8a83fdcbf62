#include "engine/core/CCLayerMultiplex.h"

#include <algorithm>

#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

RefPtr<CCLayerMultiplex> CCLayerMultiplex::layerWithLayers(std::vector<RefPtr<CCLayer>> layers) {
    RefPtr<CCLayerMultiplex> multiplex = makeRef<CCLayerMultiplex>();
    if (!multiplex->initWithLayers(std::move(layers))) return nullptr;
    return multiplex;
}

bool CCLayerMultiplex::initWithLayers(std::vector<RefPtr<CCLayer>> layers) {
    if (layers.empty() || std::find(layers.begin(), layers.end(), nullptr) != layers.end()) {
        logLine("Lumora: CCLayerMultiplex needs at least one layer and no null layer");
        return false;
    }
    layers_ = std::move(layers);
    enabledLayer_ = 0;
    addChild(layers_[0].get());
    return true;
}

void CCLayerMultiplex::checkSlot(uint64_t n) const {
    if (n >= layers_.size()) {
        throw NamedException("NSRangeException",
                             stringWithFormat("CCLayerMultiplex: no layer %llu of %zu", static_cast<unsigned long long>(n),
                                              layers_.size()));
    }
    if (!layers_[n]) {
        throw NamedException("NSInvalidArgumentException",
                             stringWithFormat("CCLayerMultiplex: layer %llu was released", static_cast<unsigned long long>(n)));
    }
}

void CCLayerMultiplex::show(uint64_t n) {
    enabledLayer_ = n;
    addChild(layers_[n].get());
}

void CCLayerMultiplex::switchTo(uint64_t n) {
    checkSlot(n);
    removeChild(layers_[enabledLayer_].get(), true);
    show(n);
}

void CCLayerMultiplex::switchToAndReleaseMe(uint64_t n) {
    checkSlot(n);
    if (n == enabledLayer_) {
        throw NamedException("NSInvalidArgumentException", "CCLayerMultiplex: cannot release the layer switched to");
    }
    removeChild(layers_[enabledLayer_].get(), true);
    layers_[enabledLayer_] = nullptr;
    show(n);
}
