#include "engine/actions/grid/CCGrid3DAction.h"

RefPtr<CCGridBase> CCGrid3DAction::grid() const { return CCGrid3D::gridWithSize(gridSize()); }

bool CCGrid3DAction::acceptsGrid(CCGridBase* grid) const { return dynamic_cast<CCGrid3D*>(grid) != nullptr; }

ccVertex3F CCGrid3DAction::vertex(ccGridSize position) const {
    return grid3D() ? grid3D()->vertex(position) : ccVertex3F{};
}

ccVertex3F CCGrid3DAction::originalVertex(ccGridSize position) const {
    return grid3D() ? grid3D()->originalVertex(position) : ccVertex3F{};
}

void CCGrid3DAction::setVertex(ccGridSize position, ccVertex3F vertex) {
    if (grid3D()) grid3D()->setVertex(position, vertex);
}
