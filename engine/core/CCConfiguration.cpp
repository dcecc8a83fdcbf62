#include "engine/core/CCConfiguration.h"

#include <sys/utsname.h>

#include <cstdio>
#include <string_view>

#include "platform/foundation/StringUtils.h"

namespace {

RefPtr<CCConfiguration> sharedInstance;

}  // namespace

CCConfiguration* CCConfiguration::sharedConfiguration() {
    if (!sharedInstance) sharedInstance = makeRef<CCConfiguration>();
    return sharedInstance.get();
}

CCConfiguration::CCConfiguration() {
    OSVersion_ = packOSVersion(getMacVersion());
    if (const GLubyte* extensions = glGetString(GL_EXTENSIONS)) {
        glExtensions_ = reinterpret_cast<const char*>(extensions);
    }
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &maxTextureUnits_);
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamplesAllowed_);
    supportsPVRTC_ = checkForGLExtension("GL_IMG_texture_compression_pvrtc");
    supportsNPOT_ = checkForGLExtension("GL_ARB_texture_non_power_of_two");
    supportsBGRA8888_ = checkForGLExtension("GL_EXT_bgra");
    supportsDiscardFramebuffer_ = checkForGLExtension("GL_EXT_discard_framebuffer");
    supportsShareableVAO_ = checkForGLExtension("GL_APPLE_vertex_array_object");
}

std::string CCConfiguration::getMacVersion() {
    utsname name{};
    int major = 0, minor = 0, patch = 0;
    // A release such as "6.1.0-18-amd64"; missing numbers stay 0.
    if (uname(&name) == 0) std::sscanf(name.release, "%d.%d.%d", &major, &minor, &patch);
    return stringWithFormat("%d.%d.%d", major, minor, patch);
}

uint32_t CCConfiguration::packOSVersion(const std::string& version) {
    uint32_t packed = 0;
    uint32_t factor = 0x1000000;
    std::string_view rest = version;
    while (factor != 0) {
        const size_t dot = rest.find('.');
        packed += static_cast<uint32_t>(stringIntValue(rest.substr(0, dot))) * factor;
        if (dot == std::string_view::npos) break;
        rest.remove_prefix(dot + 1);
        factor /= 256;
    }
    return packed;
}

bool CCConfiguration::checkForGLExtension(const std::string& searchName) const {
    std::string_view rest = glExtensions_;
    while (!rest.empty()) {
        const size_t blank = rest.find(' ');
        if (rest.substr(0, blank) == searchName) return true;
        if (blank == std::string_view::npos) break;
        rest.remove_prefix(blank + 1);
    }
    return false;
}
