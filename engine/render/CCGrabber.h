#pragma once

#include <epoxy/gl.h>

#include "platform/foundation/Object.h"

class CCTexture2D;

// One framebuffer object that redirects drawing into a texture: a grid captures its node's
// drawing through it every frame. Engine thread only, with the view's GL context current.
class CCGrabber : public Object {
public:
    // Makes the framebuffer object.
    CCGrabber();

    // Attaches the texture (not retained) as the colour target, once, keeping whatever
    // framebuffer was bound. A texture GL cannot draw into throws NamedException
    // "Frame Grabber" "Could not attach texture to framebuffer".
    void grab(CCTexture2D* texture);
    // Starts drawing into the attached texture, cleared to transparent black. The texture is
    // the one grabbed; the parameter is not used.
    void beforeRender(CCTexture2D* texture);
    // Binds the framebuffer and the clear colour that beforeRender found.
    void afterRender(CCTexture2D* texture);

protected:
    ~CCGrabber() override;

private:
    GLuint fbo_ = 0;
    GLint oldFBO_ = 0;                  // bound before the last grab or beforeRender
    GLfloat oldClearColor_[4] = {};     // RGBA 0-1, in force before the last beforeRender
};
