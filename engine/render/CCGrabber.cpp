#include "engine/render/CCGrabber.h"

#include "engine/core/CCTexture2D.h"
#include "platform/foundation/NamedException.h"

CCGrabber::CCGrabber() { glGenFramebuffers(1, &fbo_); }

CCGrabber::~CCGrabber() { glDeleteFramebuffers(1, &fbo_); }

void CCGrabber::grab(CCTexture2D* texture) {
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &oldFBO_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture ? texture->name() : 0, 0);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(oldFBO_));
    CC_REQUIRE(status == GL_FRAMEBUFFER_COMPLETE, "Frame Grabber", "Could not attach texture to framebuffer");
}

void CCGrabber::beforeRender(CCTexture2D*) {
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &oldFBO_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, oldClearColor_);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CCGrabber::afterRender(CCTexture2D*) {
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(oldFBO_));
    glClearColor(oldClearColor_[0], oldClearColor_[1], oldClearColor_[2], oldClearColor_[3]);
}
