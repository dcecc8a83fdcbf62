#include "app/menu/VantrelMenuLayer.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/menu/VantrelMenuScreenData.h"
#include "shell/ApplicationPreferences.h"
#include "shell/VantrelGlobal.h"
#include "shell/VantrelTransitionLayer.h"
#include "audio/VantrelAudio.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCLayerGradient.h"
#include "engine/core/CCScene.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCAnimation.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/CCDonut.h"
#include "game/core/Camera.h"
#include "game/core/KSMenu.h"
#include "game/core/KSMenuItem.h"
#include "game/core/Levels.h"
#include "game/core/Rank.h"
#include "game/core/SimpleSoundEffect.h"
#include "game/core/Stamina.h"
#include "game/core/Stats.h"
#include "game/core/Units.h"
#include "game/core/VTDualTouchTracker.h"
#include "game/core/VTScrollTracker.h"
#include "platform/foundation/Log.h"
#include "platform/window/CursorHider.h"

namespace {

VantrelMenuLayer* currentLayer = nullptr;

constexpr ccColor4B kDefaultGradientTop = {254, 204, 7, 255};
constexpr ccColor4B kDefaultGradientBottom = {241, 170, 25, 255};
constexpr ccColor4B kCreditsGradientTop = {170, 157, 195, 255};
constexpr ccColor4B kCreditsGradientBottom = {255, 145, 83, 255};

// The five screens that are not level groups.
constexpr int32_t kFixedScreenCount = 5;

// Scroll units (wheel notches) that drag the world by one screen.
constexpr float kScrollUnitsPerScreen = 10;

// Full path of a sound or music file; empty (logged) when there is no such file.
std::string soundPath(const std::string& name) {
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(name);
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        logLine("Vantrel: the menu has no sound \"%s\"", name.c_str());
        return {};
    }
    return path;
}

// The transition scene builds the menu by name from the start.
[[maybe_unused]] const bool sceneRegistered = (VantrelMenuLayer::registerScene(), true);

// A menu over the whole window whose items are placed in window points.
void addMenu(CCNode* parent, const std::vector<RefPtr<CCMenuItem>>& items) {
    if (items.empty()) return;
    const RefPtr<KSMenu> menu = KSMenu::menuWithArrayOfMenuItems(items);
    menu->setIgnoreAnchorPointForPosition(false);
    menu->setAnchorPoint(CGPointZero);
    menu->setPosition(CGPointZero);
    parent->addChild(menu.get());
}

}  // namespace

RefPtr<CCScene> VantrelMenuLayer::scene() {
    RefPtr<CCScene> scene = CCScene::node();
    const RefPtr<VantrelMenuLayer> layer = makeRef<VantrelMenuLayer>();
    if (layer->init()) scene->addChild(layer.get());
    return scene;
}

void VantrelMenuLayer::registerScene() { VantrelTransitionLayer::registerScene(VantrelTransitionLayer::kMenuClassName, &scene); }

VantrelMenuLayer* VantrelMenuLayer::currentMenuLayer() { return currentLayer; }

VantrelMenuLayer::VantrelMenuLayer() = default;

VantrelMenuLayer::~VantrelMenuLayer() {
    cleanupAudio();
    destroyMainMenu();
    if (currentLayer == this) currentLayer = nullptr;
}

bool VantrelMenuLayer::init() {
    return initWithProgress(Levels::sharedInstance(), Stats::sharedInstance(), Rank::sharedInstance());
}

bool VantrelMenuLayer::initWithProgress(Levels* levels, Stats* stats, Rank* rank) {
    currentLayer = this;
    VantrelGlobal::sharedInstance()->setGameState(VantrelGlobal::kStateMenu);
    screenSize_ = CCDirector::sharedDirector()->winSize();
    halfScreenSize_ = {screenSize_.width / 2, screenSize_.height / 2};
    setupAssetLoader();
    levels_ = levels;
    stats_ = stats;
    rank_ = rank;
    updateApplication();
    initAudio();
    createMainMenu();

    setIsMouseEnabled(true);
    setIsKeyboardEnabled(true);
    touchTracker_ = makeRef<VTDualTouchTracker>();
    touchTracker_->setView(CCDirector::sharedDirector()->view());
    attachTracker(touchTracker_.get());
    setIsTouchEnabled(true);
    scrollTracker_ = makeRef<VTScrollTracker>();
    scrollTracker_->setPointsPerUnit(screenArcLength_ / kScrollUnitsPerScreen);
    attachTracker(scrollTracker_.get());
    // The pointer shows in the menu even when the last screen hid it.
    CursorHider::current().mouseMoved();
    restoreAssetLoader();
    return true;
}

void VantrelMenuLayer::setupAssetLoader() {
    CCFileUtils::sharedFileUtils()->setMacSuffix(CCDirector::sharedDirector()->contentScaleFactor() < 2.0 ? "-hd"
                                                                                                          : "-ipadhd");
}

void VantrelMenuLayer::updateApplication() {
    ApplicationPreferences* preferences = ApplicationPreferences::sharedInstance();
    if (!preferences->updateRequired()) return;
    if (rank_) rank_->saveCurrentRank();
    preferences->setUpdateRequired(false);
}

// ---- Life cycle ----

void VantrelMenuLayer::onEnter() {
    VantrelAudio* audio = VantrelAudio::sharedInstance();
    audio->unduckAudio();
    const std::string music = soundPath(menuMusicName(!VantrelGlobal::sharedInstance()->lastLevelId().empty()));
    if (!music.empty()) audio->playTrack(music, true, false, -1, 1.0f);
    updateGameCenter();
    initNetworkControl();
    initHidJoystickControl();
    update(0);
    scheduleUpdate();
    CCLayer::onEnter();
}

void VantrelMenuLayer::onExit() {
    logoutGameCenter();
    cleanupNetworkControl();
    cleanupHidJoystickControl();
    CCLayer::onExit();
}

std::string VantrelMenuLayer::menuMusicName(bool backFromGame) {
    return backFromGame ? "VantrelLite.mp3" : "Vantrel.mp3";
}

// ---- Sound ----

void VantrelMenuLayer::initAudio() {
    interfaceSound_.load();
    if (!VantrelAudio::sharedInstance()->simpleAudio()) return;
    bonusSoundEffect_ = game::SimpleSoundEffect::simpleSoundEffect("sparkle_big", 0.9f, 0.9f, 1.0f, 1.0f, -0.2f, 0.2f);
}

void VantrelMenuLayer::cleanupAudio() { bonusSoundEffect_.reset(); }

void VantrelMenuLayer::playInterfaceSound() { interfaceSound_.play(0.0f); }

void VantrelMenuLayer::playInterfaceSoundPanned(float pan) { interfaceSound_.play(pan); }

// ---- World ----

void VantrelMenuLayer::createMainMenu() {
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile("menu.plist");

    const float width = static_cast<float>(screenSize_.width);
    const float height = static_cast<float>(screenSize_.height);
    screenCount_ = (levels_ ? levels_->levelGroupAvailableCount() : 0) + kFixedScreenCount;
    screenAngleSize_ = 360.0f / static_cast<float>(screenCount_);
    screenArcLength_ = roundf(width * 1.0666667f);
    worldCircumference_ = screenArcLength_ * static_cast<float>(screenCount_);
    worldRadius_ = worldCircumference_ / units::kTwoPi;
    const float rimAllowance = screenArcLength_ / 4;
    screenRadius_ = floorf(worldRadius_ - rimAllowance / 2 + height / 2 + 1.0f);

    screenData_.reserve(static_cast<size_t>(screenCount_));
    createWorld();
    createCredits();
    createSettings();
    createFlightLog();
    createMainTitles();
    createInstructions();
    createLevels();

    // Screen i stands at -i screen sizes, brought into [0, 360).
    float angle = 0;
    for (const RefPtr<VantrelMenuScreenData>& screen : screenData_) {
        float placed = fmodf(angle, 360.0f);
        if (placed < 0) placed += 360.0f;
        screen->angle = placed;
        screen->baseNode->setRotation(90.0f - angle);
        angle -= screenAngleSize_;
    }

    currentScreenIndex_ = std::max(getScreenIndex("title"), 0);
    currentAngle_ = destinationAngle_ = screenData_[static_cast<size_t>(currentScreenIndex_)]->angle;
    isTransitioning_ = false;
    transitionSpeed_ = 0;
    isDragging_ = false;

    createCamera();
    const VantrelMenuScreenData* title = screenData_[static_cast<size_t>(currentScreenIndex_)].get();
    tintGradientBackground(title->bgGradientTop, title->bgGradientBottom, 0);
    fillHives();
    showFirstScreen();
}

void VantrelMenuLayer::showFirstScreen() {
    playBonusSoundEffect_ = false;
    const VantrelGlobal* global = VantrelGlobal::sharedInstance();
    if (global->lastLevelHasNewRank()) {
        const int32_t flightLog = getScreenIndex("flight_log");
        if (flightLog < 0) return;
        playBonusSoundEffect_ = true;
        isInitialTransition_ = true;
        showScreen(flightLog, false);
        return;
    }
    if (global->lastLevelId().empty() || !levels_) return;
    const std::string groupId = levels_->getLevelGroupIdForLevelId(global->lastLevelId());
    const int32_t group = groupId.empty() ? -1 : getScreenIndex(groupId);
    if (group < 0) return;
    playBonusSoundEffect_ = global->lastLevelHasNewHighScore();
    isInitialTransition_ = true;
    showScreen(group, false);
}

void VantrelMenuLayer::destroyMainMenu() {
    destroyLevels();
    destroyInstructions();
    destroyMainTitles();
    destroyFlightLog();
    destroySettings();
    destroyCredits();
    destroyWorld();
    screenData_.clear();
}

void VantrelMenuLayer::createWorld() {
    const RefPtr<CCNode> centreHolder = CCNode::node();
    centreHolder->setPosition({halfScreenSize_.width, halfScreenSize_.height});
    addChild(centreHolder.get());
    centreHolder_ = centreHolder.get();
    createGradientBackground();
    const RefPtr<CCNode> worldHolder = CCNode::node();
    centreHolder_->addChild(worldHolder.get());
    worldHolder_ = worldHolder.get();
    createNavigation();
    createApplicationControls();
}

void VantrelMenuLayer::destroyWorld() {
    destroyCamera();
    destroyApplicationControls();
    destroyNavigation();
    destroyGradientBackground();
}

void VantrelMenuLayer::createGradientBackground() {
    // The first colour is the bottom one along (0, 1).
    const RefPtr<CCLayerGradient> gradient =
        CCLayerGradient::layerWithColor(kDefaultGradientBottom, kDefaultGradientTop, {0, 1});
    gradient->changeWidth(static_cast<float>(screenSize_.width), static_cast<float>(screenSize_.height));
    gradient->setAnchorPoint({0.5, 0.5});
    gradient->setIgnoreAnchorPointForPosition(false);
    centreHolder_->addChild(gradient.get());
    gradientBackground_ = gradient.get();
}

void VantrelMenuLayer::destroyGradientBackground() { stopTintGradientBackground(); }

// ---- Screens ----

int32_t VantrelMenuLayer::getScreenIndex(const std::string& name) const {
    for (size_t i = 0; i < screenData_.size(); ++i) {
        if (screenData_[i]->name == name) return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t VantrelMenuLayer::getScreenIndexAt(float angle) const {
    const float half = screenAngleSize_ / 2;
    for (size_t i = 0; i < screenData_.size(); ++i) {
        const float centre = screenData_[i]->angle;
        if (angle >= centre - half && angle < centre + half) return static_cast<int32_t>(i);
    }
    return 0;
}

VantrelMenuScreenData* VantrelMenuLayer::getScreenData(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= screenData_.size()) return nullptr;
    return screenData_[static_cast<size_t>(index)].get();
}

VantrelMenuScreenData* VantrelMenuLayer::createScreen(const std::string& name, const std::string& terrainImageName,
                                                      int32_t index) {
    const RefPtr<VantrelMenuScreenData> screen = makeRef<VantrelMenuScreenData>();
    if (index >= 0 && static_cast<size_t>(index) < screenData_.size()) {
        screenData_.insert(screenData_.begin() + index, screen);
    } else {
        screenData_.push_back(screen);
    }
    screen->name = name;
    screen->bgGradientTop = kDefaultGradientTop;
    screen->bgGradientBottom = kDefaultGradientBottom;

    const RefPtr<CCNode> baseNode = CCNode::node();
    worldHolder_->addChild(baseNode.get());
    screen->baseNode = baseNode.get();

    if (!terrainImageName.empty()) {
        // The ground: a stretch of ring as wide as the screen's share of the world, as thick as
        // the picture is high at the design width.
        const RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addImage(terrainImageName);
        const RefPtr<CCDonut> terrain = makeRef<CCDonut>();
        if (!texture || !terrain->initWithTexture(texture)) {
            logLine("Vantrel: the menu has no terrain picture \"%s\"", terrainImageName.c_str());
        } else {
            const float halfThickness = static_cast<float>(texture->contentSize().height / 2 *
                                                           screenArcLength_ / kDesignWidth);
            terrain->createWedge(worldRadius_ + halfThickness, worldRadius_ - halfThickness, 30, 1,
                                 90 + screenAngleSize_ / 2, 90 - screenAngleSize_ / 2);
            baseNode->addChild(terrain.get());
        }
    }

    const RefPtr<CCNode> centreNode = CCNode::node();
    centreNode->setPosition({0, screenRadius_});
    baseNode->addChild(centreNode.get());
    screen->centreNode = centreNode.get();

    RefPtr<CCNode> screenNode = CCSpriteBatchNode::batchNodeWithFile("menu.png");
    if (!screenNode) {
        logLine("Vantrel: the menu sheet \"menu.png\" is missing; screen \"%s\" shows only its ground", name.c_str());
        screenNode = CCNode::node();
    }
    screenNode->setPosition({-halfScreenSize_.width, -halfScreenSize_.height});
    centreNode->addChild(screenNode.get());
    screen->screenNode = screenNode.get();
    return screen.get();
}

bool VantrelMenuLayer::destroyScreen(const std::string& name) {
    const int32_t index = getScreenIndex(name);
    if (index < 0) return false;
    const RefPtr<VantrelMenuScreenData> screen = screenData_[static_cast<size_t>(index)];
    stopHivesFillingOrDraining();
    // The screen's hives go with it: later fills and drains must not move honey no one sees.
    std::erase_if(hivesHoney_, [&screen](const RefPtr<CCSprite>& honey) {
        for (const CCNode* node = honey.get(); node; node = node->parent()) {
            if (node == screen->baseNode) return true;
        }
        return false;
    });
    if (screen->baseNode) worldHolder_->removeChild(screen->baseNode, true);
    screenData_.erase(screenData_.begin() + index);
    return true;
}

// ---- Pictures ----

RefPtr<CCSprite> VantrelMenuLayer::frameSprite(const std::string& frameName) {
    const RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName);
    if (!frame) {
        logLine("Vantrel: the menu has no picture \"%s\"", frameName.c_str());
        return nullptr;
    }
    return CCSprite::spriteWithSpriteFrame(frame.get());
}

CCSprite* VantrelMenuLayer::addFrame(CCNode* parent, const std::string& frameName, CGPoint position) {
    if (!parent) return nullptr;
    const RefPtr<CCSprite> sprite = frameSprite(frameName);
    if (!sprite) return nullptr;
    sprite->setAnchorPoint(CGPointZero);
    sprite->setPosition(position);
    parent->addChild(sprite.get());
    return sprite.get();
}

RefPtr<CCSprite> VantrelMenuLayer::holderSprite(CCNode* parent) {
    const auto* batch = dynamic_cast<CCSpriteBatchNode*>(parent);
    RefPtr<CCTexture2D> texture(batch ? batch->texture() : nullptr);
    return CCSprite::spriteWithTexture(texture, CGRectZero);
}

RefPtr<KSMenuItem> VantrelMenuLayer::makeButton(const std::string& frameName, bool flipX, CGPoint position,
                                                void (VantrelMenuLayer::*handler)(Object*)) {
    const RefPtr<CCSprite> normal = frameSprite(frameName + ".png");
    const RefPtr<CCSprite> selected = frameSprite(frameName + "_selected.png");
    if (!normal || !selected) return nullptr;
    normal->setFlipX(flipX);
    selected->setFlipX(flipX);
    const CGSize size = normal->contentSize();
    RefPtr<KSMenuItem> item = makePlacedButton(navMenuSpriteBatchNode_, normal, selected,
                                               {position.x - size.width / 2, position.y - size.height / 2}, handler);
    item->setSizeOffset(8, 8);
    return item;
}

RefPtr<KSMenuItem> VantrelMenuLayer::makePlacedButton(CCNode* parent, RefPtr<CCSprite> normal,
                                                      RefPtr<CCSprite> selected, CGPoint position,
                                                      void (VantrelMenuLayer::*handler)(Object*)) {
    for (CCSprite* image : {normal.get(), selected.get()}) {
        if (!image) continue;
        image->setAnchorPoint(CGPointZero);
        image->setPosition(position);
        parent->addChild(image);
    }
    const RefPtr<KSMenuItem> item = makeRef<KSMenuItem>();
    item->initWithNormalSprite(normal, selected, nullptr, this, static_cast<SEL_MenuHandler>(handler));
    item->setAnchorPoint(CGPointZero);
    item->setPosition(position);
    return item;
}

void VantrelMenuLayer::createNavigation() {
    RefPtr<CCNode> batch = CCSpriteBatchNode::batchNodeWithFile("menu.png");
    if (!batch) batch = CCNode::node();  // without the sheet there are no buttons to show either
    addChild(batch.get());
    navMenuSpriteBatchNode_ = batch.get();
    std::vector<RefPtr<CCMenuItem>> items;
    if (RefPtr<KSMenuItem> left = makeButton("arrow_right_button", true, {84, 399}, &VantrelMenuLayer::onLeftPressed)) {
        items.push_back(std::move(left));
    }
    if (RefPtr<KSMenuItem> right = makeButton("arrow_right_button", false, {screenSize_.width - 84, 399},
                                              &VantrelMenuLayer::onRightPressed)) {
        items.push_back(std::move(right));
    }
    addMenu(this, items);
}

void VantrelMenuLayer::createApplicationControls() {
    std::vector<RefPtr<CCMenuItem>> items;
    const double top = screenSize_.height - 20;
    RefPtr<KSMenuItem> quit = makeButton("menu_quit_button", false, {20, top}, &VantrelMenuLayer::onQuitPressed);
    const double quitWidth = quit ? quit->contentSize().width : 0;
    RefPtr<KSMenuItem> fullScreen = makeButton("menu_fullscreen_button", false, {std::floor(quitWidth + 5) + 20, top},
                                               &VantrelMenuLayer::onFullscreenPressed);
    if (quit && fullScreen) {
        // The buttons stand a few points apart: their click areas meet halfway, so that a click
        // beside the full-screen button never quits.
        const double gap = fullScreen->normalImage()->position().x - (quit->normalImage()->position().x + quitWidth);
        const double halfGap = std::clamp(gap / 2, 0.0, 8.0);
        quit->setSizeOffsets(8, halfGap, 8, 8);
        fullScreen->setSizeOffsets(8, 8, 8, halfGap);
    }
    for (RefPtr<KSMenuItem>* button : {&quit, &fullScreen}) {
        if (*button) items.push_back(std::move(*button));
    }
    addMenu(this, items);
}

void VantrelMenuLayer::createCredits() {
    VantrelMenuScreenData* credits = createScreen("credits", "menu_bg_credits.png");
    credits->bgGradientTop = kCreditsGradientTop;
    credits->bgGradientBottom = kCreditsGradientBottom;
    addFrame(credits->screenNode, "credits_title.png", {470, 565});
    addFrame(credits->screenNode, "credits_content.png", {270, 207});
}
