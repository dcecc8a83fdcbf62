#include "app/menu/VantrelMenuScreenData.h"

VantrelMenuScreenData::VantrelMenuScreenData() = default;

VantrelMenuScreenData::~VantrelMenuScreenData() = default;
