#include "shell/VantrelViewController.h"

VantrelViewController::VantrelViewController(RefPtr<CCGLView> view) : view_(std::move(view)) {}
