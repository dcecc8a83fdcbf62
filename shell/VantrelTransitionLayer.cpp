#include "shell/VantrelTransitionLayer.h"

#include <array>
#include <unordered_map>

#include "shell/VantrelGlobal.h"
#include "audio/VantrelAudio.h"
#include "engine/actions/CCActionManager.h"
#include "engine/actions/composite/CCRepeatForever.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/ease/CCEaseIn.h"
#include "engine/actions/ease/CCEaseOut.h"
#include "engine/actions/instant/CCCallFunc.h"
#include "engine/actions/interval/CCAnimate.h"
#include "engine/actions/interval/CCFadeIn.h"
#include "engine/actions/interval/CCFadeTo.h"
#include "engine/actions/interval/CCMoveTo.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCScene.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/StringUtils.h"

namespace {

constexpr const char* kBackgroundFile = "transition_bg.png";
constexpr const char* kBeeFrameFormat = "transition_bee_%d.png";
constexpr const char* kFactFont = "FuturaBeeFacts.fnt";
constexpr float kBeeFrameSeconds = 1.0f / 45.0f;
constexpr float kFadeSeconds = 0.3f;
constexpr float kSlideEaseRate = 3.0f;
constexpr uint8_t kShadowOpacity = 64;
constexpr CGPoint kShadowOffset = {24, -36};
constexpr double kBeeRaise = 40;              // points above the screen's middle
constexpr float kFactWidth = 800;             // points
constexpr double kBackgroundDesignWidth = 1024;  // points the background is drawn for

const std::array<const char*, VantrelTransitionLayer::kFactCount> kFacts = {
    "HONEY BEES POLLINATE\nEVERY THIRD BITE OF\nTHE FOOD WE EAT.",
    "IF BEES DIE OUT,\nMAN MAY ONLY HAVE\nFOUR YEARS OF LIFE\nLEFT ON EARTH.",
    "HONEY IS THE ONLY FOOD\nTHAT INCLUDES ALL THE\nSUBSTANCES NECESSARY TO\nSUSTAIN LIFE.",
    "HONEY BEES ARE THE\nONLY INSECT TO PRODUCE\nFOOD WE EAT.",
    "A HONEY BEE'S WINGS BEAT\nAT AROUND 200 BEATS\nPER SECOND.",
    "HONEY BEES COMMUNICATE\nWITH EACH OTHER\nBY DANCING.",
    "HONEY BEES CAN VISIT\nUP TO 100 FLOWERS\nDURING A COLLECTION TRIP.",
    "THERE ARE ABOUT 25,000\nDIFFERENT SPECIES OF BEES\nIN THE WORLD.",
    "THERE ARE THREE TYPES\nOF BEE IN EACH COLONY.\nA QUEEN, A WORKER,\nAND A DRONE.",
    "BEES CAN SEE EVERY\nCOLOUR EXCEPT RED.\nTHEY CAN ALSO SEE\nULTRA-VIOLET COLOURS.",
    "HONEY BEES ARE COLD-BLOODED.\nTHEY CAN MAKE HEAT BY\nVIBRATING THEIR BODIES.",
    "A QUEEN HONEY BEE\nCAN LIVE FOR 3-4 YEARS.",
    "HONEY BEE WORKERS CAN LIVE\nFOR 6-7 WEEKS DURING\nSPRING OR SUMMER.",
    "HONEY BEE WORKERS CAN LIVE\nFOR 4-6 MONTHS DURING\nAUTUMN OR WINTER.",
    "HONEY BEE DRONES CAN LIVE\nFOR UP TO 4 MONTHS,\nBUT MAY ONLY SURVIVE FOR\nA FEW WEEKS.",
    "A HONEY BEE COLONY\nCAN CONTAIN AROUND\n60,000 BEES.",
    "HONEY BEE POPULATIONS\nARE IN DECLINE.",
    "TIP:\nRETURN NECTAR TO YOUR HIVE\nQUICKLY FOR BONUS HONEY.",
    "TIP:\nMORE BEE BUDDIES MEANS\nMORE NECTAR.",
    "TIP:\nFIND ALL OF YOUR BEE BUDDIES\nFOR BONUS HONEY.",
    "TIP:\nVISIT EVERY FLOWER\nFOR BONUS HONEY.",
    "TIP:\nWATCH OUT FOR HORNETS.\nTHEY ARE PESKY!",
    "TIP:\nFLY AWAY FROM HORNETS FAST!",
    "TIP:\nFIND CLOCKS TO GIVE\nYOU MORE TIME.",
    "TIP:\nFILL YOUR HIVES TO\nGAIN HIGHER RANKS.",
    "TIP:\nSMASH STUFF OPEN TO\nFIND BONUS HONEY.",
    "TIP:\nTHERE ARE ALL SORTS OF\nPLACES TO HIDE FROM\nFLYING ENEMIES.",
    "TIP:\nFLUFFY WHITE CLOUDS\nARE FRIENDLY AND\nYOU CAN HIDE IN THEM.",
    // Scores and ranks stay on this computer: there is no online service to enable.
    "TIP:\nYOUR BEST SCORES AND RANK\nARE KEPT ON THIS COMPUTER.",
    "TIP:\nYOU CAN CONTROL THE GAME\nFROM AN IOS DEVICE\nUSING PADLINK OVER WIFI.",
    "TIP:\nYOU CAN CONTROL VANTREL\nUSING A MOUSE, KEYBOARD\nJOYSTICK, GAMEPAD\nOR REMOTE IPHONE/IPAD.",
    "TIP:\nYOU CAN CONTROL THE GAME\nFROM A PLAYSTATION 3 CONTROLLER\nUSING BLUETOOTH OR USB.",
    "HELP THE BEES:\nPLANT BEE-FRIENDLY FLOWERS\nAND PLANTS IN YOUR GARDEN.",
    "HELP THE BEES:\nAVOID USING CHEMICALS AND\nPESTICIDES IN YOUR GARDEN.",
    "HELP THE BEES:\nBUY LOCAL RAW HONEY FROM\nBEEKEEPERS WHO CARE.",
    "HELP THE BEES:\nBUY LOCAL ORGANIC FOOD.",
    "HELP THE BEES:\nSPREAD THE WORD ABOUT\nTHE PLIGHT OF BEES.",
    "PLEASE TELL YOUR FRIENDS\nABOUT VANTREL.\n \nTHANKS :)",
    "HONEY TASTES GOOD!",
    "HONEY IS SWEET!",
    "HAVE A SWEET TIME!",
    "HONEY ON TOAST IS YUMMY!",
    "HONEY = SWEET AS!",
    "BE FRIENDLY TO BEES!",
    "HOME IS WHERE YOUR HONEY IS :)",
    "BZZZ BZZZZZ BZZZ, BZZ BZZZZ!",
    "BE ALL YOU CAN, BEE!",
    "LET US KNOW WHAT YOU THINK!\n \nTELL THE VANTREL TEAM\nWHAT YOU LIKED BEST.",
    "LET US KNOW WHAT YOU THINK!\n \nYOUR IDEAS HELP US MAKE\nTHE NEXT LEVELS.",
    // No address to write to ships with the game: the two contact rows are about meeting bees.
    "CONTACT WITH A BEE:\nSTAY CALM AND STILL.\nA CURIOUS BEE SOON\nFLIES ON.",
    "CONTACT WITH A SWARM:\nKEEP YOUR DISTANCE AND\nCALL A LOCAL BEEKEEPER.",
    "MUCH LOVE TO A\nBUSY LITTLE BEE,\nWHEREVER YOU BUZZ TODAY :)",
    "MUCH LOVE TO A\nBUSY LITTLE BEE,\nAND TO ALL HER BUDDIES :)",
    "MUCH LOVE TO A\nBUSY LITTLE BEE,\nEVERY ONE OF YOU :)",
};

// Until the menu registers itself, its place is held by an empty scene.
std::unordered_map<std::string, VantrelTransitionLayer::SceneBuilder>& builders() {
    static std::unordered_map<std::string, VantrelTransitionLayer::SceneBuilder> registry{
        {VantrelTransitionLayer::kMenuClassName, [] { return CCScene::node(); }}};
    return registry;
}

RefPtr<CCScene> buildScene(const std::string& className) {
    const auto found = builders().find(className);
    return found == builders().end() ? nullptr : found->second();
}

std::function<void()> runLoopDelay(double seconds, std::function<void()> block) {
    RefPtr<RunLoopTimer> timer = RunLoop::current().scheduleTimer(seconds, false, std::move(block));
    return [timer] { timer->invalidate(); };
}

VantrelTransitionLayer::WallClockDelay& wallClockDelay() {
    static VantrelTransitionLayer::WallClockDelay delay = runLoopDelay;
    return delay;
}

std::string beeFrameFile(int number) { return stringWithFormat(kBeeFrameFormat, number); }

// A sprite of the file; an empty one, with a log line, when the file cannot be loaded.
RefPtr<CCSprite> spriteOrEmpty(RefPtr<CCSprite> sprite, const char* what) {
    if (sprite) return sprite;
    logLine("Transition: %s cannot be shown", what);
    RefPtr<CCSprite> empty = makeRef<CCSprite>();
    empty->init();
    return empty;
}

// A label of the text in the facts font; an empty label when the font cannot be loaded (the
// font loader logs it).
RefPtr<CCLabelBMFont> factLabelOf(const std::string& text) {
    if (RefPtr<CCLabelBMFont> label =
            CCLabelBMFont::labelWithString(text, kFactFont, kFactWidth, CCLabelBMFont::kAlignmentLeft)) {
        return label;
    }
    RefPtr<CCLabelBMFont> empty = makeRef<CCLabelBMFont>();
    empty->init();
    return empty;
}

}  // namespace

void VantrelTransitionLayer::registerScene(const std::string& className, SceneBuilder builder) {
    if (builder) {
        builders()[className] = std::move(builder);
    } else {
        builders().erase(className);
    }
}

bool VantrelTransitionLayer::isSceneRegistered(const std::string& className) {
    return builders().count(className) != 0;
}

bool VantrelTransitionLayer::sceneTransitionTo(const std::string& className) {
    if (!isSceneRegistered(className)) {
        logLine("Transition: no scene is registered as \"%s\"; staying", className.c_str());
        return false;
    }
    CCDirector* director = CCDirector::sharedDirector();
    RefPtr<CCScene> scene = sceneWithDestination(className);
    if (director->runningScene() || director->nextScene()) {
        director->replaceScene(scene);
    } else {
        director->runWithScene(scene);
    }
    return true;
}

RefPtr<CCScene> VantrelTransitionLayer::sceneWithDestination(const std::string& className) {
    RefPtr<CCScene> scene = CCScene::node();
    scene->addChild(makeRef<VantrelTransitionLayer>(className).get());
    return scene;
}

void VantrelTransitionLayer::setWallClockDelay(WallClockDelay delay) {
    wallClockDelay() = delay ? std::move(delay) : WallClockDelay(runLoopDelay);
}

const char* VantrelTransitionLayer::fact(size_t index) { return index < kFacts.size() ? kFacts[index] : ""; }

VantrelTransitionLayer::VantrelTransitionLayer(std::string destination) : destination_(std::move(destination)) {
    initWithColor(kColour);
    VantrelGlobal::sharedInstance()->setGameState(VantrelGlobal::kStateTransition);
}

VantrelTransitionLayer::~VantrelTransitionLayer() {
    cleanupAudio();
    if (cancelHold_) cancelHold_();
    destroyBeeAnimation();
    CCTextureCache* textures = CCTextureCache::sharedTextureCache();
    if (background_) textures->removeTexture(background_->texture());
    if (fact_) textures->removeTexture(fact_->texture());
}

RefPtr<CCScene> VantrelTransitionLayer::buildDestinationScene() const {
    if (RefPtr<CCScene> scene = buildScene(destination_)) return scene;
    if (destination_ == kMenuClassName) {
        logLine("Transition: the menu could not be built");
        return nullptr;
    }
    logLine("Transition: \"%s\" could not be built; back to \"%s\"", destination_.c_str(), kMenuClassName);
    VantrelGlobal::sharedInstance()->setNextLevelId("");
    RefPtr<CCScene> menu = buildScene(kMenuClassName);
    if (!menu) logLine("Transition: the menu could not be built");
    return menu;
}

void VantrelTransitionLayer::onEnter() {
    schedule(ccSelector(&VantrelTransitionLayer::onEnterDelayed));
    CCLayerColor::onEnter();
}

void VantrelTransitionLayer::onExit() {
    if (cancelHold_) {
        cancelHold_();
        cancelHold_ = nullptr;
    }
    CCLayerColor::onExit();
}

// Set-up.

void VantrelTransitionLayer::onEnterDelayed(float) {
    unschedule(ccSelector(&VantrelTransitionLayer::onEnterDelayed));
    emptyCaches();
    CCDirector* director = CCDirector::sharedDirector();
    screenSize_ = director->winSize();
    halfScreenSize_ = CGSizeMake(screenSize_.width / 2, screenSize_.height / 2);
    leftToRight_ = !VantrelGlobal::sharedInstance()->nextLevelId().empty();
    setupAssetLoader();
    ccGLBindTexture(0);
    createBeeAnimation();
    placeNodes(generateFact());
    restoreAssetLoader();
    transitionIn();
}


// What the previous scene loaded goes, so that the next one starts from a clean slate.
void VantrelTransitionLayer::emptyCaches() {
    CCDirector* director = CCDirector::sharedDirector();
    director->actionManager()->removeAllActions();
    CCAnimationCache::purgeSharedAnimationCache();
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    director->purgeCachedData();
    VantrelAudio::sharedInstance()->purgeCachedBuffers();
}

void VantrelTransitionLayer::setupAssetLoader() {
    const bool highResolution = CCDirector::sharedDirector()->contentScaleFactor() >= 2.0;
    CCFileUtils::sharedFileUtils()->setMacSuffix(highResolution ? "-ipadhd" : "-hd");
}

void VantrelTransitionLayer::createBeeAnimation() {
    beeAnimation_ = CCAnimation::animation();
    beeAnimation_->setDelayPerUnit(kBeeFrameSeconds);
    for (int number : {1, 2, 3, 2}) beeAnimation_->addSpriteFrameWithFilename(beeFrameFile(number));
}

void VantrelTransitionLayer::destroyBeeAnimation() {
    if (!beeAnimation_) return;
    beeAnimation_.reset();
    for (int number = 1; number <= 3; ++number) {
        CCTextureCache::sharedTextureCache()->removeTextureForKey(beeFrameFile(number));
    }
}

std::string VantrelTransitionLayer::generateFact() const {
    return kFacts[Random::arc4random() % kFacts.size()];
}

void VantrelTransitionLayer::placeNodes(const std::string& text) {
    beeHolder_ = CCNode::node();
    if (!leftToRight_) beeHolder_->setScaleX(-1);

    background_ = spriteOrEmpty(CCSprite::spriteWithFile(kBackgroundFile), kBackgroundFile);
    background_->setScale(static_cast<float>(screenSize_.width / kBackgroundDesignWidth));
    background_->setPosition(CGPointMake(halfScreenSize_.width, halfScreenSize_.height));

    // The wings held level: the second frame.
    const auto& frames = beeAnimation_->frames();
    CCSpriteFrame* level = frames.size() > 1 ? frames[1]->spriteFrame() : nullptr;
    bee_ = spriteOrEmpty(level ? CCSprite::spriteWithSpriteFrame(level) : nullptr, "the bee");
    beeShadow_ = spriteOrEmpty(level ? CCSprite::spriteWithSpriteFrame(level) : nullptr, "the bee's shadow");

    fact_ = factLabelOf(text);
    factShadow_ = factLabelOf(text);
    for (CCLabelBMFont* label : {fact_.get(), factShadow_.get()}) label->setAnchorPoint(CGPointMake(0, 1));

    const CGSize beeSize = bee_->contentSize();
    beeHolder_->setAnchorPoint(CGPointZero);
    beeHolder_->setContentSize(beeSize);
    bee_->setPosition(CGPointMake(beeSize.width / 2, beeSize.height / 2));

    beeShadow_->setColor(ccColor3B{0, 0, 0});
    beeShadow_->setOpacity(kShadowOpacity);
    factShadow_->setColor(ccColor3B{0, 0, 0});
    factShadow_->setOpacity(kShadowOpacity);

    const double startX = leftToRight_ ? -beeSize.width : screenSize_.width + beeSize.width;
    beeHolder_->setPosition(CGPointMake(startX, halfScreenSize_.height + kBeeRaise));
    beeShadow_->setPosition(CGPointMake(bee_->position().x + kShadowOffset.x, bee_->position().y + kShadowOffset.y));
    fact_->setPosition(CGPointMake(halfScreenSize_.width, halfScreenSize_.height));
    factShadow_->setPosition(CGPointMake(fact_->position().x + kShadowOffset.x, fact_->position().y + kShadowOffset.y));

    animateBee();
    addChild(background_.get());
    addChild(beeHolder_.get());
    beeHolder_->addChild(beeShadow_.get());
    beeHolder_->addChild(bee_.get());
    addChild(factShadow_.get());
    addChild(fact_.get());
}

// Flow.

void VantrelTransitionLayer::transitionIn() {
    background_->setOpacity(0);
    background_->runAction(CCFadeIn::actionWithDuration(kFadeSeconds).get());
    fact_->setOpacity(0);
    fact_->runAction(CCFadeIn::actionWithDuration(kFadeSeconds).get());
    factShadow_->setOpacity(0);
    factShadow_->runAction(CCFadeTo::actionWithDuration(kFadeSeconds, kShadowOpacity).get());
    slideBeeHolderTo(halfScreenSize_.width, true, &VantrelTransitionLayer::onTransitionInComplete);
}

void VantrelTransitionLayer::onTransitionInComplete() {
    stopAnimatingBee();
    cancelHold_ = wallClockDelay()(kHoldSeconds, [this] { loadNextScene(); });
}

void VantrelTransitionLayer::loadNextScene() {
    cancelHold_ = nullptr;
    nextScene_ = buildDestinationScene();
    transitionOutAfterDelay();
}

void VantrelTransitionLayer::transitionOutAfterDelay() {
    scheduleOnce(ccSelector(&VantrelTransitionLayer::transitionOut), kWaitSeconds);
}

void VantrelTransitionLayer::transitionOut(float) {
    const double beeWidth = bee_->contentSize().width;
    animateBee();
    slideBeeHolderTo(leftToRight_ ? screenSize_.width + beeWidth : -beeWidth, false,
                     &VantrelTransitionLayer::onTransitionOutComplete);
}

void VantrelTransitionLayer::onTransitionOutComplete() {
    stopAnimatingBee();
    runNextScene();
}

// Without a scene (not even the menu's, which was logged) the transition stays.
void VantrelTransitionLayer::runNextScene() {
    if (nextScene_) CCDirector::sharedDirector()->replaceScene(nextScene_);
}

void VantrelTransitionLayer::slideBeeHolderTo(double x, bool easeOut, void (VantrelTransitionLayer::*then)()) {
    RefPtr<CCActionInterval> move =
        CCMoveTo::actionWithDuration(kSlideSeconds, CGPointMake(x, beeHolder_->position().y));
    RefPtr<CCActionInterval> eased = easeOut ? RefPtr<CCActionInterval>(CCEaseOut::actionWithAction(move, kSlideEaseRate))
                                             : RefPtr<CCActionInterval>(CCEaseIn::actionWithAction(move, kSlideEaseRate));
    beeHolder_->runAction(CCSequence::actionOne(eased, CCCallFunc::actionWithTarget(RefPtr<Object>(this),
                                                                                    ccCallSelector(then)))
                              .get());
}

// Bee animation.

// Without its pictures the bee has no frames to beat its wings with.
void VantrelTransitionLayer::animateBee() {
    if (beeAnimation_->frames().empty()) return;
    for (CCSprite* sprite : {bee_.get(), beeShadow_.get()}) {
        RefPtr<CCRepeatForever> flap = CCRepeatForever::actionWithAction(CCAnimate::actionWithAnimation(beeAnimation_));
        flap->setTag(kBeeAnimationTag);
        sprite->runAction(flap.get());
    }
}

void VantrelTransitionLayer::stopAnimatingBee() {
    const auto& frames = beeAnimation_->frames();
    CCSpriteFrame* level = frames.size() > 1 ? frames[1]->spriteFrame() : nullptr;
    for (CCSprite* sprite : {bee_.get(), beeShadow_.get()}) {
        sprite->stopActionByTag(kBeeAnimationTag);
        sprite->setDisplayFrame(level);
    }
}
