#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/CCLayer.h"

// A layer that shows one of several layers at a time, as its only child.
class CCLayerMultiplex : public CCLayer {
public:
    // Null (logged) for an empty list or a null layer.
    static RefPtr<CCLayerMultiplex> layerWithLayers(std::vector<RefPtr<CCLayer>> layers);

    CCLayerMultiplex() = default;
    // Keeps the layers in order and shows the first. False (logged) for an empty list or a null
    // layer; the multiplex is then unchanged.
    bool initWithLayers(std::vector<RefPtr<CCLayer>> layers);

    // Removes the shown layer from the children with cleanup (its actions and schedules stop) and
    // shows layer n. An index past the list throws NamedException "NSRangeException"; a slot
    // emptied by switchToAndReleaseMe throws "NSInvalidArgumentException"; either way nothing
    // changes.
    void switchTo(uint64_t n);
    // As switchTo, and the multiplex lets go of the layer it showed: its slot is emptied for good.
    // Switching to the shown layer itself would empty the slot being shown and throws
    // "NSInvalidArgumentException".
    void switchToAndReleaseMe(uint64_t n);

    uint64_t enabledLayer() const { return enabledLayer_; }
    // The layers in order; an emptied slot holds null.
    const std::vector<RefPtr<CCLayer>>& layers() const { return layers_; }

private:
    // Throws unless slot n holds a layer.
    void checkSlot(uint64_t n) const;
    void show(uint64_t n);

    uint64_t enabledLayer_ = 0;           // index of the shown layer
    std::vector<RefPtr<CCLayer>> layers_;
};
