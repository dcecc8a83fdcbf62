#include "shell/GameKitOverlayLayer.h"

#include <algorithm>

#include "engine/core/CCDirector.h"
#include "engine/core/CCLayerColor.h"
#include "engine/render/CCLabelTTF.h"
#include "engine/render/CCMenu.h"
#include "engine/render/CCMenuItemLabel.h"
#include "platform/window/Event.h"

namespace {
constexpr ccColor4B kBackdrop{0, 0, 0, 160};
constexpr ccColor4B kPanel{24, 28, 40, 240};
constexpr ccColor3B kTitleColour{255, 210, 80};
constexpr ccColor3B kNoteColour{170, 176, 190};
// The panel's share of the window on each axis.
constexpr float kPanelShare = 0.8f;
// Fractions of the panel's height.
constexpr float kMargin = 0.04f;
constexpr float kTitleTop = 0.17f;
constexpr float kRowsTop = 0.28f;
constexpr float kRowsBottom = 0.24f;
constexpr float kNoteBaseline = 0.16f;
constexpr float kDoneCentre = 0.08f;
constexpr float kLargestRow = 1.0f / 14;
constexpr float kSmallestRow = 1.0f / 28;
constexpr size_t kMostColumns = 4;
// A label's font size as a share of the height it is given.
constexpr float kFontShare = 0.7f;

constexpr const char* kHeading = "SCORES ON THIS COMPUTER";
constexpr const char* kNote = "These results are kept on this computer only; nothing is sent anywhere.";
}  // namespace

RefPtr<GameKitOverlayLayer> GameKitOverlayLayer::layerWithTitle(const std::string& title, const std::string& status,
                                                                std::function<void()> finish) {
    auto layer = makeRef<GameKitOverlayLayer>();
    if (!layer->initWithTitle(title, status, std::move(finish))) return nullptr;
    return layer;
}

bool GameKitOverlayLayer::initWithTitle(const std::string& title, const std::string& status,
                                        std::function<void()> finish) {
    finish_ = std::move(finish);
    setIsMouseEnabled(true);
    setIsKeyboardEnabled(true);
    setIsTouchEnabled(true);
    const CGSize window = contentSize();
    addChild(CCLayerColor::layerWithColor(kBackdrop, float(window.width), float(window.height)).get(), 0);

    const float width = float(window.width) * kPanelShare;
    const float height = float(window.height) * kPanelShare;
    panel_ = CCLayerColor::layerWithColor(kPanel, width, height);
    panel_->setPosition({(window.width - width) / 2, (window.height - height) / 2});
    addChild(panel_.get(), 1);

    addLabel(kHeading, height * kLargestRow * 1.2f * kFontShare, {width / 2, height * (1 - kMargin)}, {0.5, 1});
    if (CCLabelTTF* label = addLabel(title, height * kLargestRow * kFontShare, {width / 2, height * (1 - kTitleTop)},
                                     {0.5, 1})) {
        label->setColor(kTitleColour);
    }
    const float noteSize = height * kLargestRow * 0.6f * kFontShare;
    if (CCLabelTTF* note = addLabel(kNote, noteSize, {width / 2, height * kNoteBaseline}, {0.5, 0})) {
        note->setColor(kNoteColour);
    }
    rowsTop_ = height * (1 - kRowsTop);
    rowsBottom_ = height * kRowsBottom;

    auto done = CCLabelTTF::labelWithString("DONE", kFontName, height * kLargestRow * kFontShare);
    if (!done) return false;
    auto doneItem = CCMenuItemLabel::itemWithLabel(done, [this](CCMenuItem*) { finishOnce(); });
    doneItem->setPosition({width / 2, height * kDoneCentre});
    menu_ = CCMenu::menuWithItems({doneItem});
    menu_->setPosition(CGPointZero);
    panel_->addChild(menu_.get(), 1);

    showRows({}, status);
    return true;
}

CCLabelTTF* GameKitOverlayLayer::addLabel(const std::string& text, float fontSize, CGPoint position, CGPoint anchor) {
    RefPtr<CCLabelTTF> label = CCLabelTTF::labelWithString(text, kFontName, fontSize);
    if (!label) return nullptr;
    label->setAnchorPoint(anchor);
    label->setPosition(position);
    CCNode* parent = rows_ ? rows_.get() : panel_.get();
    parent->addChild(label.get());
    return label.get();
}

void GameKitOverlayLayer::showRows(const Rows& rows, const std::string& status) {
    if (rows_) panel_->removeChild(rows_.get(), true);
    rows_ = CCNode::node();
    panel_->addChild(rows_.get(), 1);
    const CGSize panel = panel_->contentSize();
    const float width = float(panel.width);
    const float height = float(panel.height);
    const float area = rowsTop_ - rowsBottom_;
    if (rows.empty()) addLabel(status, height * kLargestRow * kFontShare, {width / 2, rowsTop_}, {0.5, 1});

    // Rows fill a column down to the smallest readable height before the next column starts.
    const size_t count = std::max<size_t>(rows.size(), 1);
    const size_t fitAtSmallest = std::max<size_t>(size_t(area / (height * kSmallestRow)), 1);
    const size_t columns = std::clamp<size_t>((count + fitAtSmallest - 1) / fitAtSmallest, 1, kMostColumns);
    const size_t perColumn = (count + columns - 1) / columns;
    const float rowHeight = std::min(height * kLargestRow, area / float(perColumn));
    const float fontSize = rowHeight * kFontShare;
    const float left = width * kMargin * 2;
    const float columnWidth = (width - 2 * left) / float(columns);
    const float gap = width * kMargin;
    for (size_t i = 0; i < rows.size(); ++i) {
        const float x = left + columnWidth * float(i / perColumn);
        const float top = rowsTop_ - rowHeight * float(i % perColumn);
        addLabel(rows[i].first, fontSize, {x, top}, {0, 1});
        addLabel(rows[i].second, fontSize, {x + columnWidth - (columns > 1 ? gap : 0), top}, {1, 1});
    }
    if (isRunning()) rows_->onEnter();
}

CGRect GameKitOverlayLayer::panelRect() const { return {panel_->position(), panel_->contentSize()}; }

void GameKitOverlayLayer::onEnter() {
    CCLayer::onEnter();
    menu_->setHandlerPriority(kMenuPriority);
}

bool GameKitOverlayLayer::ccMouseDown(const Event& event) {
    const CGPoint point = CCDirector::sharedDirector()->convertEventToGL(event);
    if (!CGRectContainsPoint(panelRect(), point)) finishOnce();
    return true;
}

bool GameKitOverlayLayer::ccKeyDown(const Event& event) {
    if (event.keyCode == kKeyCodeEscape) finishOnce();
    return true;
}

void GameKitOverlayLayer::finishOnce() {
    if (!finish_) return;
    // The finish may let go of this layer; it lives until the call returns.
    const RefPtr<GameKitOverlayLayer> keep(this);
    const std::function<void()> finish = std::move(finish_);
    finish_ = nullptr;
    finish();
}
