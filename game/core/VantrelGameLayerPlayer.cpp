// The play scene answers the bee's questions about the level it flies in.

#include "game/core/HiveProtocol.h"
#include "game/core/Level.h"
#include "game/core/Player.h"
#include "game/core/VantrelGameLayer.h"

CGPoint VantrelGameLayer::spawnPosition() const { return level_->spawnPosition(); }

float VantrelGameLayer::currentTimeOfDayPerc() const { return level_->currentTimeOfDayPerc(); }

uint32_t VantrelGameLayer::flowersVisited() const { return level_->flowersVisited(); }

uint32_t VantrelGameLayer::totalFlowers() const { return level_->totalFlowers(); }

int32_t VantrelGameLayer::existingHighScore() const { return level_->existingHighScore(); }

void VantrelGameLayer::emitParticles(int kind, CGPoint position) { level_->emitParticles(kind, position); }

void VantrelGameLayer::updatePlayerFlowerContact(GameObject* flower, bool active) {
    level_->updatePlayerFlowerContact(flower, active);
}

void VantrelGameLayer::beginPlayerHiveContact(bool hasNectar) { level_->beginPlayerHiveContact(hasNectar); }

void VantrelGameLayer::updatePlayerHiveContact(bool transferring) { level_->updatePlayerHiveContact(transferring); }

void VantrelGameLayer::endPlayerHiveContact() { level_->endPlayerHiveContact(); }

float VantrelGameLayer::playerNectar() const { return player_ ? player_->nectar() : 0; }

float VantrelGameLayer::playerHiveHoney() const { return player_ ? player_->hiveHoney() : 0; }

float VantrelGameLayer::playerDistanceTravelled() const { return player_ ? player_->distanceTravelled() : 0; }

float VantrelGameLayer::dayTimeRemaining() const { return level_ ? level_->dayTimeRemaining() : 0; }

int32_t VantrelGameLayer::totalBuddies() const { return level_->totalBuddies(); }

void VantrelGameLayer::changeLengthOfDay(float seconds) { level_->changeLengthOfDay(seconds); }

const GameMessagePositionProtocol* VantrelGameLayer::hiveMessageTarget() const {
    return dynamic_cast<const HiveProtocol*>(level_->hive());
}

void VantrelGameLayer::handlePickupContacts() {
    if (player_) player_->handlePickupContacts();
}

void VantrelGameLayer::handleEnemyContacts() {
    if (player_) player_->handleEnemyContacts();
}

void VantrelGameLayer::handleProjectileContacts() {
    if (player_) player_->handleProjectileContacts();
}

void VantrelGameLayer::setPlayerHasSolidContact(bool contact) {
    if (player_) player_->setHasSolidContact(contact);
}
