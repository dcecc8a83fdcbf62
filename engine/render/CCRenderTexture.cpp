#include "engine/render/CCRenderTexture.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "engine/core/CCConfiguration.h"
#include "engine/core/CCDirector.h"
#include "engine/core/math/kmGLMatrix.h"
#include "engine/core/support/ccPointMath.h"
#include "engine/render/CCSprite.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"
#include "platform/image/Image.h"

namespace {
// Quality of saved JPEG files, 1-100: high, since the picture is saved once and kept.
constexpr int kJPEGQuality = 90;

template <typename Init>
RefPtr<CCRenderTexture> made(Init init) {
    auto target = makeRef<CCRenderTexture>();
    return init(*target) ? target : nullptr;
}
}  // namespace

RefPtr<CCRenderTexture> CCRenderTexture::renderTextureWithWidth(int32_t width, int32_t height) {
    return made([&](CCRenderTexture& t) { return t.initWithWidth(width, height); });
}

RefPtr<CCRenderTexture> CCRenderTexture::renderTextureWithWidth(int32_t width, int32_t height,
                                                                CCTexture2DPixelFormat format) {
    return made([&](CCRenderTexture& t) { return t.initWithWidth(width, height, format); });
}

RefPtr<CCRenderTexture> CCRenderTexture::renderTextureWithWidth(int32_t width, int32_t height,
                                                                CCTexture2DPixelFormat format,
                                                                GLuint depthStencilFormat) {
    return made([&](CCRenderTexture& t) { return t.initWithWidth(width, height, format, depthStencilFormat); });
}

bool CCRenderTexture::initWithWidth(int32_t width, int32_t height) {
    return initWithWidth(width, height, kCCTexture2DPixelFormat_RGBA8888, 0);
}

bool CCRenderTexture::initWithWidth(int32_t width, int32_t height, CCTexture2DPixelFormat format) {
    return initWithWidth(width, height, format, 0);
}

bool CCRenderTexture::initWithWidth(int32_t width, int32_t height, CCTexture2DPixelFormat format,
                                    GLuint depthStencilFormat) {
    const double factor = CCDirector::sharedDirector()->contentScaleFactor();
    const auto pixelsWide = static_cast<int64_t>(width * factor), pixelsHigh = static_cast<int64_t>(height * factor);
    const CCConfiguration* configuration = CCConfiguration::sharedConfiguration();
    uint64_t textureWide = pixelsWide, textureHigh = pixelsHigh;
    if (!configuration->supportsNPOT()) {
        textureWide = ccNextPowerOfTwo(textureWide);
        textureHigh = ccNextPowerOfTwo(textureHigh);
    }
    const auto maxSize = static_cast<uint64_t>(configuration->maxTextureSize());
    if (pixelsWide <= 0 || pixelsHigh <= 0 || textureWide > maxSize || textureHigh > maxSize) {
        logLine("Lumora: CCRenderTexture: a target of %d x %d points cannot be made (the maximum texture size is %llu "
                "pixels)", width, height, static_cast<unsigned long long>(maxSize));
        return false;
    }

    const std::vector<uint8_t> zeros(textureWide * textureHigh * 4);
    texture_ = makeRef<CCTexture2D>();
    if (!texture_->initWithData(zeros.data(), format, textureWide, textureHigh,
                                CGSizeMake(static_cast<double>(pixelsWide), static_cast<double>(pixelsHigh)))) {
        texture_.reset();
        return false;
    }
    pixelFormat_ = format;

    GLint oldRenderBuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &oldFBO_);
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &oldRenderBuffer);
    glGenFramebuffers(1, &fbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_->name(), 0);
    if (depthStencilFormat != 0) {
        glGenRenderbuffers(1, &depthRenderBuffer_);
        glBindRenderbuffer(GL_RENDERBUFFER, depthRenderBuffer_);
        glRenderbufferStorage(GL_RENDERBUFFER, depthStencilFormat, static_cast<GLsizei>(textureWide),
                              static_cast<GLsizei>(textureHigh));
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthRenderBuffer_);
        if (depthStencilFormat == GL_DEPTH24_STENCIL8) {
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthRenderBuffer_);
        }
    }
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(oldRenderBuffer));
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(oldFBO_));
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        logLine("Lumora: CCRenderTexture: the framebuffer for a %s target is incomplete (status 0x%04X)",
                texture_->stringForFormat().c_str(), status);
        return false;
    }

    texture_->setAliasTexParameters();
    sprite_ = CCSprite::spriteWithTexture(texture_);
    // GL's first row, the texture's top for a sprite, is the bottom of what was drawn.
    sprite_->setScaleY(-1);
    sprite_->setBlendFunc({GL_ONE, GL_ONE_MINUS_SRC_ALPHA});
    addChild(sprite_.get());
    return true;
}

CCRenderTexture::~CCRenderTexture() {
    if (fbo_) glDeleteFramebuffers(1, &fbo_);
    if (depthRenderBuffer_) glDeleteRenderbuffers(1, &depthRenderBuffer_);
}

void CCRenderTexture::begin() {
    kmGLPush();
    const CGSize texSize = texture_->contentSizeInPixels();
    const CGSize winSize = CCDirector::sharedDirector()->winSizeInPixels();
    glGetIntegerv(GL_VIEWPORT, oldViewport_);
    glViewport(0, 0, static_cast<GLsizei>(texSize.width), static_cast<GLsizei>(texSize.height));
    // Window coordinates, which the projection maps over the window's size, are scaled by the
    // window's size over the texture's, so that they land on the texture's pixels at the same scale.
    const auto widthRatio = static_cast<float>(winSize.width / texSize.width);
    const auto heightRatio = static_cast<float>(winSize.height / texSize.height);
    kmMat4 ortho;
    kmMat4MakeOrtho(&ortho, -1.0f / widthRatio, 1.0f / widthRatio, -1.0f / heightRatio, 1.0f / heightRatio, -1, 1);
    kmGLMultiply(&ortho);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &oldFBO_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
}

void CCRenderTexture::end() {
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(oldFBO_));
    kmGLPop();
    glViewport(oldViewport_[0], oldViewport_[1], oldViewport_[2], oldViewport_[3]);
}

namespace {
// Clears the bound framebuffer's buffers with the values given, keeping GL's clear values.
void clearKeepingValues(GLbitfield buffers, const GLfloat* color, const GLfloat* depth, const GLint* stencil) {
    GLfloat oldColor[4] = {}, oldDepth = 0;
    GLint oldStencil = 0;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, oldColor);
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &oldDepth);
    glGetIntegerv(GL_STENCIL_CLEAR_VALUE, &oldStencil);
    if (color) glClearColor(color[0], color[1], color[2], color[3]);
    if (depth) glClearDepth(*depth);
    if (stencil) glClearStencil(*stencil);
    glClear(buffers);
    glClearColor(oldColor[0], oldColor[1], oldColor[2], oldColor[3]);
    glClearDepth(oldDepth);
    glClearStencil(oldStencil);
}
}  // namespace

void CCRenderTexture::beginWithClear(float r, float g, float b, float a) {
    begin();
    const GLfloat color[] = {r, g, b, a};
    clearKeepingValues(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, color, nullptr, nullptr);
}

void CCRenderTexture::beginWithClear(float r, float g, float b, float a, float depth) {
    begin();
    const GLfloat color[] = {r, g, b, a};
    clearKeepingValues(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, color, &depth, nullptr);
}

void CCRenderTexture::beginWithClear(float r, float g, float b, float a, float depth, int32_t stencil) {
    begin();
    const GLfloat color[] = {r, g, b, a};
    const GLint stencilValue = stencil;
    clearKeepingValues(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT, color, &depth,
                       &stencilValue);
}

void CCRenderTexture::clear(float r, float g, float b, float a) {
    beginWithClear(r, g, b, a);
    end();
}

void CCRenderTexture::clearDepth(float depth) {
    begin();
    clearKeepingValues(GL_DEPTH_BUFFER_BIT, nullptr, &depth, nullptr);
    end();
}

void CCRenderTexture::clearStencil(int32_t stencil) {
    const GLint stencilValue = stencil;
    clearKeepingValues(GL_STENCIL_BUFFER_BIT, nullptr, nullptr, &stencilValue);
}

Image CCRenderTexture::newCGImage() {
    const CGSize size = texture_->contentSizeInPixels();
    const auto width = static_cast<uint32_t>(size.width), height = static_cast<uint32_t>(size.height);
    const size_t rowBytes = size_t{width} * 4;
    std::vector<uint8_t> bottomUp(rowBytes * height), topDown(rowBytes * height);
    begin();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA, GL_UNSIGNED_BYTE,
                 bottomUp.data());
    end();
    for (uint32_t y = 0; y < height; ++y) {
        std::copy_n(&bottomUp[y * rowBytes], rowBytes, &topDown[(height - 1 - y) * rowBytes]);
    }
    return Image(width, height, true, std::move(topDown));
}

bool CCRenderTexture::saveToFile(const std::string& name) { return saveToFile(name, kCCImageFormatJPEG); }

bool CCRenderTexture::saveToFile(const std::string& name, int format) {
    if (name.empty() || name.find('/') != std::string::npos || name.find("..") != std::string::npos) {
        logLine("Lumora: CCRenderTexture: \"%s\" is not a plain file name; nothing saved", name.c_str());
        return false;
    }
    if (format != kCCImageFormatJPEG && format != kCCImageFormatPNG) {
        logLine("Lumora: CCRenderTexture: image format %d is neither JPEG (0) nor PNG (1); nothing saved", format);
        return false;
    }
    const std::string folder = documentsFolder();
    if (!createFolder(folder)) {
        logLine("Lumora: CCRenderTexture: the documents folder %s cannot be made; nothing saved", folder.c_str());
        return false;
    }
    const Image image = newCGImage();
    const std::string path = stringByAppendingPathComponent(folder, name);
    return format == kCCImageFormatPNG ? image.writePNG(path) : image.writeJPEG(path, kJPEGQuality);
}
