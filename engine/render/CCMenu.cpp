#include "engine/render/CCMenu.h"

#include <algorithm>

#include "engine/core/CCDirector.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/render/CCMenuItem.h"
#include "platform/foundation/NamedException.h"

namespace {

// A size as the grid layouts measure it: the larger of the two in single precision, truncated.
uint64_t truncatedMax(uint64_t current, double size) {
    return static_cast<uint64_t>(std::max(static_cast<float>(current), static_cast<float>(size)));
}

}  // namespace

RefPtr<CCMenu> CCMenu::menuWithArray(const std::vector<RefPtr<CCMenuItem>>& items) {
    auto menu = makeRef<CCMenu>();
    return menu->initWithArray(items) ? menu : nullptr;
}

RefPtr<CCMenu> CCMenu::menuWithItems(std::initializer_list<RefPtr<CCMenuItem>> items) {
    const auto end = std::find(items.begin(), items.end(), nullptr);
    return menuWithArray(std::vector<RefPtr<CCMenuItem>>(items.begin(), end));
}

bool CCMenu::initWithArray(const std::vector<RefPtr<CCMenuItem>>& items) {
    for (const RefPtr<CCMenuItem>& item : items) {
        CC_REQUIRE(item, "NSInvalidArgumentException", "a menu item is null");
    }
    setIsMouseEnabled(true);
    enabled_ = true;
    const CGSize size = CCDirector::sharedDirector()->winSize();
    setIgnoreAnchorPointForPosition(true);
    setAnchorPoint(CGPointMake(0.5, 0.5));
    setContentSize(size);
    setPosition(CGPointMake(size.width / 2, size.height / 2));
    int64_t z = 0;
    for (const RefPtr<CCMenuItem>& item : items) addChild(item.get(), z++);
    selectedItem_.reset();
    state_ = kCCMenuStateWaiting;
    return true;
}

uint64_t CCMenu::mouseEventMask() const { return kCCMouseDownMask | kCCMouseDraggedMask | kCCMouseUpMask; }

void CCMenu::setHandlerPriority(int64_t priority) {
    CCEventDispatcher* dispatcher = CCDirector::sharedDirector()->eventDispatcher();
    if (!dispatcher) return;
    dispatcher->removeMouseDelegate(this);
    dispatcher->addMouseDelegate(this, priority);
}

// MARK: mouse

CCMenuItem* CCMenu::itemForMouseEvent(const Event& event) {
    const CGPoint point = CCDirector::sharedDirector()->convertEventToGL(event);
    if (!children()) return nullptr;
    for (Object* child : *children()) {
        auto* item = dynamic_cast<CCMenuItem*>(child);
        if (!item || !item->visible() || !item->isEnabled()) continue;
        const CGPoint local = item->convertToNodeSpace(point);
        const CGSize size = item->rect().size;
        if (local.x >= 0 && local.x < size.width && local.y >= 0 && local.y < size.height) return item;
    }
    return nullptr;
}

bool CCMenu::ccMouseDown(const Event& event) {
    if (!visible() || !enabled_) return false;
    const RefPtr<CCMenuItem> item(itemForMouseEvent(event));
    selectedItem_ = item;
    if (!item) return false;
    // Tracking before the item hears of it, so that a menu leaving the scene from the item's
    // handler unselects it.
    state_ = kCCMenuStateTrackingTouch;
    item->selected();
    return true;
}

bool CCMenu::ccMouseDragged(const Event& event) {
    if (!visible() || !enabled_ || state_ != kCCMenuStateTrackingTouch) return false;
    const RefPtr<CCMenuItem> item(itemForMouseEvent(event));
    if (item != selectedItem_) {
        if (selectedItem_) selectedItem_->unselected();
        selectedItem_ = item;
        if (item) item->selected();
    }
    return true;
}

bool CCMenu::ccMouseUp(const Event&) {
    if (!visible() || !enabled_ || state_ != kCCMenuStateTrackingTouch) return false;
    // The press is over before the callback runs, which may remove the item or the menu.
    const RefPtr<CCMenuItem> item = std::move(selectedItem_);
    state_ = kCCMenuStateWaiting;
    if (item) {
        item->unselected();
        item->activate();
    }
    return true;
}

void CCMenu::onExit() {
    if (state_ == kCCMenuStateTrackingTouch) {
        const RefPtr<CCMenuItem> item = std::move(selectedItem_);
        state_ = kCCMenuStateWaiting;
        if (item) item->unselected();
    }
    CCLayer::onExit();
}

// MARK: layout

void CCMenu::alignItemsVerticallyWithPadding(float padding) { alignItemsInLine(-1, padding); }

void CCMenu::alignItemsHorizontallyWithPadding(float padding) { alignItemsInLine(1, padding); }

void CCMenu::alignItemsInLine(int direction, float padding) {
    const auto extent = [direction](const CCNode* child) {
        return direction < 0 ? child->contentSize().height * child->scaleY()
                             : child->contentSize().width * child->scaleX();
    };
    float length = -padding;
    eachChild([&](CCNode* child) { length += extent(child) + padding; });
    // The running edge: the top going down, or the left going right.
    float edge = -direction * length / 2;
    eachChild([&](CCNode* child) {
        const double along = edge + direction * extent(child) / 2;
        child->setPosition(direction < 0 ? CGPointMake(0, along) : CGPointMake(along, 0));
        edge += direction * (extent(child) + padding);
    });
}

void CCMenu::alignItemsInColumnsWithArray(const std::vector<uint64_t>& rows) {
    // Integer sizes, as the layout has always measured them; each row is its tallest item.
    int32_t height = -5;
    size_t row = 0;
    uint64_t rowHeight = 0;
    uint64_t columnsOccupied = 0;
    eachChild([&](CCNode* child) {
        if (row >= rows.size()) return;
        rowHeight = truncatedMax(rowHeight, child->contentSize().height);
        if (++columnsOccupied >= rows[row]) {
            height += static_cast<int32_t>(rowHeight) + 5;
            columnsOccupied = rowHeight = 0;
            ++row;
        }
    });
    if (columnsOccupied > 0) height += static_cast<int32_t>(rowHeight) + 5;

    const double windowWidth = CCDirector::sharedDirector()->winSize().width;
    float y = static_cast<float>(height / 2);
    float x = 0, w = 0;
    row = 0;
    rowHeight = columnsOccupied = 0;
    uint64_t rowColumns = 0;
    eachChild([&](CCNode* child) {
        if (rowColumns == 0) {
            if (row >= rows.size()) return;
            rowColumns = rows[row];
            w = static_cast<float>(windowWidth / static_cast<double>(rowColumns + 1));
            x = w;
        }
        const double childHeight = child->contentSize().height;
        rowHeight = truncatedMax(rowHeight, childHeight);
        child->setPosition(CGPointMake(x - windowWidth / 2, y - childHeight / 2));
        if (++columnsOccupied >= rowColumns) {
            y -= static_cast<float>(rowHeight + 5);
            columnsOccupied = rowColumns = rowHeight = 0;
            ++row;
        }
        x += w;
    });
}

void CCMenu::alignItemsInRowsWithArray(const std::vector<uint64_t>& columns) {
    // Integer sizes, as the layout has always measured them; each column is its widest item.
    std::vector<uint64_t> columnWidths;
    std::vector<int32_t> columnHeights;
    int32_t width = -10;
    int32_t columnHeight = -5;
    size_t column = 0;
    uint64_t columnWidth = 0;
    uint64_t rowsOccupied = 0;
    const auto closeColumn = [&] {
        columnWidths.push_back(columnWidth);
        columnHeights.push_back(columnHeight);
        width += static_cast<int32_t>(columnWidth) + 10;
        rowsOccupied = columnWidth = 0;
        columnHeight = -5;
        ++column;
    };
    eachChild([&](CCNode* child) {
        if (column >= columns.size()) return;
        columnWidth = truncatedMax(columnWidth, child->contentSize().width);
        columnHeight = static_cast<int32_t>(columnHeight + child->contentSize().height + 5);
        if (++rowsOccupied >= columns[column]) closeColumn();
    });
    if (rowsOccupied > 0) closeColumn();

    const double windowHeight = CCDirector::sharedDirector()->winSize().height;
    float x = static_cast<float>(-(width / 2));
    float y = 0;
    column = 0;
    rowsOccupied = columnWidth = 0;
    uint64_t columnRows = 0;
    eachChild([&](CCNode* child) {
        if (columnRows == 0) {
            if (column >= columnWidths.size()) return;
            columnRows = columns[column];
            y = static_cast<float>((columnHeights[column] + windowHeight) * 0.5);
        }
        const CGSize size = child->contentSize();
        columnWidth = truncatedMax(columnWidth, size.width);
        child->setPosition(CGPointMake(x + static_cast<double>(columnWidths[column] / 2), y - windowHeight / 2));
        if (++rowsOccupied >= columnRows) {
            x += static_cast<float>(columnWidth + 5);
            rowsOccupied = columnRows = columnWidth = 0;
            ++column;
        }
        y -= static_cast<float>(size.height + 10);
    });
}

// MARK: colour

void CCMenu::setColor(ccColor3B color) {
    color_ = color;
    eachChild([color](CCNode* child) {
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(child)) rgba->setColor(color);
    });
}

void CCMenu::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    eachChild([opacity](CCNode* child) {
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(child)) rgba->setOpacity(opacity);
    });
}
