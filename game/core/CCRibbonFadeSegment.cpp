#include "game/core/CCRibbonFadeSegment.h"

#include <cstdio>

#include "engine/core/CCDirector.h"
#include "engine/core/ccGLStateCache.h"

void CCRibbonFadeSegment::reset() {
    end = 0;
    begin = 0;
    finished = false;
}

bool CCRibbonFadeSegment::fade(float time, float fadeTime, ccColor4B color, GLenum blendFuncSrc) {
    if (begin >= kCapacity) {
        finished = true;
        return false;
    }
    const bool premultiplied = blendFuncSrc != GL_SRC_ALPHA;
    for (uint32_t i = begin; i < end; ++i) {
        uint8_t* rgba = &colors[i * 8];
        const float age = (time - creationTime[i]) / fadeTime;
        uint8_t alpha = 0;
        if (age <= 1) {
            alpha = static_cast<uint8_t>(color.a - age * color.a);
        } else {
            ++begin;
        }
        const double scale = premultiplied ? alpha * 0.003921569 : 1.0;
        for (int vertex = 0; vertex < 2; ++vertex) {
            rgba[vertex * 4 + 0] = static_cast<uint8_t>(color.r * scale);
            rgba[vertex * 4 + 1] = static_cast<uint8_t>(color.g * scale);
            rgba[vertex * 4 + 2] = static_cast<uint8_t>(color.b * scale);
            rgba[vertex * 4 + 3] = alpha;
        }
    }
    return end > begin;
}

void CCRibbonFadeSegment::draw(float time, float fadeTime, ccColor4B color, GLenum blendFuncSrc) {
    if (!fade(time, fadeTime, color, blendFuncSrc)) return;
    ccGLSetVertexAttribArrays({.position = &verts[begin * 6],
                               .positionSize = 3,
                               .texCoords = &coords[begin * 4],
                               .color = &colors[begin * 8]});
    glDrawArrays(GL_TRIANGLE_STRIP, 0, static_cast<GLsizei>((end - begin) * 2));
    ccDrawCallCounter += 1;
}

std::string CCRibbonFadeSegment::description() const {
    char text[128];
    std::snprintf(text, sizeof text, "<%s = %p | end = %u, begin = %u>", className(*this).c_str(),
                  static_cast<const void*>(this), end, begin);
    return text;
}
