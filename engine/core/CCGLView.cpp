#include "engine/core/CCGLView.h"

#include "engine/core/CCDirector.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/core/CCEventObject.h"
#include "platform/foundation/RunLoop.h"

RefPtr<CCGLView> CCGLView::viewWithFrame(CGRect frame, const std::string& title, bool hidden,
                                         GLWindow* shareContext) {
    RefPtr<CCGLView> view = makeRef<CCGLView>();
    return view->initWithFrame(frame, title, hidden, shareContext) ? view : nullptr;
}

bool CCGLView::initWithFrame(CGRect frame, const std::string& title, bool hidden, GLWindow* shareContext) {
    window_ = GLWindow::create(title, frame.size, hidden, shareContext);
    if (!window_) return false;
    window_->makeCurrent();
    window_->setSwapInterval(1);
    return true;
}

CGRect CCGLView::bounds() const {
    const CGSize size = window_ ? window_->size() : CGSizeZero;
    return CGRectMake(0, 0, size.width, size.height);
}

void CCGLView::lockOpenGLContext() {
    if (window_) window_->makeCurrent();
    contextLock_.lock();
}

void CCGLView::unlockOpenGLContext() { contextLock_.unlock(); }

void CCGLView::flushBuffer() {
    if (window_) window_->swapBuffers();
}

bool CCGLView::setSwapInterval(int interval) { return window_ && window_->setSwapInterval(interval); }

void CCGLView::reshape() {
    const CGSize size = bounds().size;
    if (!(size.width > 0 && size.height > 0)) return;
    // The director may let go of this view while drawing (a scene that ends the engine).
    const RefPtr<CCGLView> keep(this);
    lockOpenGLContext();
    CCDirector* director = CCDirector::sharedDirector();
    director->reshapeProjection(size);
    if (director->runningScene()) director->drawScene();
    unlockOpenGLContext();
}

bool CCGLView::acceptsTouchEvents() const { return window_ && window_->acceptsTouchEvents(); }

void CCGLView::setAcceptsTouchEvents(bool accepts) {
    if (window_) window_->setAcceptsTouchEvents(accepts);
}

bool CCGLView::setFullScreen(bool fullScreen) { return window_ && window_->setFullScreen(fullScreen); }

bool CCGLView::isFullScreen() const { return window_ && window_->isFullScreen(); }

void CCGLView::pumpEvents() {
    if (!window_) return;
    const RefPtr<CCGLView> keep(this);
    window_->pollEvents([this](const Event& event) { forward(event); },
                        [this](const WindowEvent& event) {
                            switch (event.type) {
                                case WindowEventType::resized:
                                    reshape();
                                    break;
                                case WindowEventType::closeRequested:
                                    closeRequested_ = true;
                                    break;
                                case WindowEventType::focusGained:
                                case WindowEventType::focusLost:
                                    if (activationHandler_) {
                                        activationHandler_(event.type == WindowEventType::focusGained);
                                    }
                                    break;
                            }
                        });
}

void CCGLView::forward(const Event& event) {
    RunLoop* engineThread = CCDirector::sharedDirector()->runningThread();
    if (!eventDelegate_ || !engineThread) return;
    if (event.type == EventType::mouseMoved && !acceptsMouseMovedEvents_) return;
    // The posted block holds both until the event has been delivered.
    const RefPtr<CCEventDispatcher> dispatcher(eventDelegate_);
    const RefPtr<CCEventObject> eventObject = makeRef<CCEventObject>(event);
    engineThread->performBlock([dispatcher, eventObject] { dispatcher->dispatchEvent(eventObject.get()); });
}
