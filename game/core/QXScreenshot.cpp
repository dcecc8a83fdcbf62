#include "game/core/QXScreenshot.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLView.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"

Image QXScreenshot::takeAsCGImage() {
    const CCGLView* view = CCDirector::sharedDirector()->view();
    // The drawable itself: in a window resized away from the design size, the design size would
    // read past its edge.
    const CGSize size = view && view->window() ? view->window()->drawableSize() : CGSizeZero;
    const auto width = static_cast<uint32_t>(size.width);
    const auto height = static_cast<uint32_t>(size.height);
    if (width == 0 || height == 0) {
        logLine("QXScreenshot: there is no view to take a picture of");
        return {};
    }

    // GL's rows run bottom up; the picture's top down.
    const size_t rowBytes = size_t(width) * 4;
    std::vector<uint8_t> rows(rowBytes * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, GLsizei(width), GLsizei(height), GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    std::vector<uint8_t> pixels(rows.size());
    for (uint32_t y = 0; y < height; ++y) {
        std::copy_n(&rows[y * rowBytes], rowBytes, &pixels[(height - 1 - y) * rowBytes]);
    }
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    return Image(width, height, false, std::move(pixels));
}

RefPtr<CCTexture2D> QXScreenshot::takeAsTexture() {
    const Image image = takeAsCGImage();
    if (image.empty()) return nullptr;
    auto texture = makeRef<CCTexture2D>();
    if (!texture->initWithCGImage(&image, kCCResolutionStandard)) {
        logLine("QXScreenshot: cannot make a texture of %ux%u pixels", image.width(), image.height());
        return nullptr;
    }
    return texture;
}
