#include "audio/OALCallAction.h"

void OALCallAction::startAction() {
    OALAction::startAction();
    if (call_) call_();
}
