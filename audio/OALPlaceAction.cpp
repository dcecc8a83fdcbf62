#include "audio/OALPlaceAction.h"

RefPtr<OALPlaceAction> OALPlaceAction::actionWithPosition(ALXYZ position) {
    return makeRef<OALPlaceAction>(position);
}

void OALPlaceAction::updateCompletion(float) { target_->setPosition(position_); }
