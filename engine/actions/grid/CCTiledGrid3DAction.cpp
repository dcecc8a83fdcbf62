#include "engine/actions/grid/CCTiledGrid3DAction.h"

RefPtr<CCGridBase> CCTiledGrid3DAction::grid() const { return CCTiledGrid3D::gridWithSize(gridSize()); }

bool CCTiledGrid3DAction::acceptsGrid(CCGridBase* grid) const {
    return dynamic_cast<CCTiledGrid3D*>(grid) != nullptr;
}

ccQuad3 CCTiledGrid3DAction::tile(ccGridSize position) const {
    return tiledGrid() ? tiledGrid()->tile(position) : ccQuad3{};
}

ccQuad3 CCTiledGrid3DAction::originalTile(ccGridSize position) const {
    return tiledGrid() ? tiledGrid()->originalTile(position) : ccQuad3{};
}

void CCTiledGrid3DAction::setTile(ccGridSize position, const ccQuad3& coords) {
    if (tiledGrid()) tiledGrid()->setTile(position, coords);
}

void CCTiledGrid3DAction::turnOnTile(ccGridSize position) { setTile(position, originalTile(position)); }

void CCTiledGrid3DAction::turnOffTile(ccGridSize position) { setTile(position, ccQuad3{}); }

void CCTiledGrid3DAction::placeTileOffset(ccGridSize position, float dx, float dy, float dz) {
    ccQuad3 coords = originalTile(position);
    for (ccVertex3F* corner : {&coords.bl, &coords.br, &coords.tl, &coords.tr}) {
        corner->x += dx;
        corner->y += dy;
        corner->z += dz;
    }
    setTile(position, coords);
}

CGPoint CCTiledGrid3DAction::gridStep() const { return targetGrid() ? targetGrid()->step() : CGPointZero; }
