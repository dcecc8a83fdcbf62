// Particle property lists: any list configures a quad system (or is refused) that then runs a few
// frames without overrunning its pool or its quads, and any embedded texture text either decodes to
// an image within the size asked for or is refused. Texture look-ups are left out: they need GL.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/render/CCParticleSystemQuad.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"
#include "platform/image/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LogCapture quiet;  // refusals are expected; keep them off the fuzzer's output
    quiet.clear();
    std::string error;
    const auto plist = Value::fromBytes(std::string(reinterpret_cast<const char*>(data), size), &error);
    if (!plist) return 0;

    Value settings = Value::dictionary();
    for (const auto& [key, value] : plist->entries()) {
        if (key != "textureFileName" && key != "textureImageData") settings.set(key, value);
    }
    const auto system = makeRef<CCParticleSystemQuad>();
    if (system->initWithDictionary(settings)) {
        // Frames of 0, 1/60 and 1 s; a grouped or relative system moved between them.
        for (float dt : {0.0f, 1.0f / 60, 1.0f, 1.0f / 60}) {
            system->update(dt);
            system->setPosition({system->position().x + 1, 0});
            if (system->particleCount() > system->totalParticles() ||
                system->totalParticles() > CCParticleSystem::kCCParticleSystemMaxParticles ||
                system->particleIdx() > system->particleCount() || system->textureAtlas()->capacity() < system->totalParticles()) {
                std::abort();
            }
        }
    }
    system->cleanup();  // the scheduler lets go of it

    constexpr uint32_t kMaxSize = 2048;
    Image image;
    if (CCParticleSystem::decodeEmbeddedImage((*plist)["textureImageData"].stringValue(), kMaxSize, &image) &&
        (image.empty() || image.width() > kMaxSize || image.height() > kMaxSize)) {
        std::abort();
    }
    return 0;
}
