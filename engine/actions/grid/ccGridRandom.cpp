#include "engine/actions/grid/ccGridRandom.h"

#include <numeric>
#include <random>
#include <utility>

namespace {
std::minstd_rand& generator() {
    static std::minstd_rand engine;
    return engine;
}
}  // namespace

void ccGridSeed(uint32_t seed) { generator().seed(seed); }

int32_t ccGridRandom() { return static_cast<int32_t>(generator()()); }

int32_t ccGridOffset(int32_t range) {
    if (range < 1) return 0;
    return static_cast<int32_t>(ccGridRandom() % (2 * static_cast<int64_t>(range)) - range);
}

void ccGridShuffledOrder(int32_t seed, size_t count, std::vector<int32_t>* order) {
    if (seed != -1) ccGridSeed(static_cast<uint32_t>(seed));
    order->resize(count);
    std::iota(order->begin(), order->end(), 0);
    for (size_t i = count; i-- > 0;) std::swap((*order)[i], (*order)[static_cast<size_t>(ccGridRandom()) % (i + 1)]);
}

void ccGridShake(ccVertex3F* const* vertices, size_t count, int32_t range, bool shakeZ) {
    for (size_t k = 0; k < count; ++k) vertices[k]->x += static_cast<float>(ccGridOffset(range));
    for (size_t k = 0; k < count; ++k) vertices[k]->y += static_cast<float>(ccGridOffset(range));
    if (!shakeZ) return;
    for (size_t k = 0; k < count; ++k) vertices[k]->z += static_cast<float>(ccGridOffset(range));
}
