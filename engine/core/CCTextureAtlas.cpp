#include "engine/core/CCTextureAtlas.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/core/CCDirector.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/ccGLStateCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {

constexpr GLsizeiptr kQuadBytes = sizeof(ccV3F_C4B_T2F_Quad);
constexpr GLsizeiptr kQuadIndexBytes = 6 * sizeof(GLushort);

}  // namespace

RefPtr<CCTextureAtlas> CCTextureAtlas::textureAtlasWithFile(const std::string& file, uint64_t capacity) {
    RefPtr<CCTextureAtlas> atlas = makeRef<CCTextureAtlas>();
    return atlas->initWithFile(file, capacity) ? atlas : nullptr;
}

RefPtr<CCTextureAtlas> CCTextureAtlas::textureAtlasWithTexture(RefPtr<CCTexture2D> texture, uint64_t capacity) {
    RefPtr<CCTextureAtlas> atlas = makeRef<CCTextureAtlas>();
    return atlas->initWithTexture(std::move(texture), capacity) ? atlas : nullptr;
}

bool CCTextureAtlas::initWithFile(const std::string& file, uint64_t capacity) {
    const RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addImage(file);
    return texture && initWithTexture(texture, capacity);
}

bool CCTextureAtlas::initWithTexture(RefPtr<CCTexture2D> texture, uint64_t capacity) {
    if (!checkCapacity("initWithTexture", capacity)) return false;
    try {
        quads_.assign(capacity, ccV3F_C4B_T2F_Quad{});
        indices_.assign(capacity * 6, 0);
    } catch (const std::bad_alloc&) {
        quads_ = {};
        indices_ = {};
        return false;
    }
    capacity_ = capacity;
    totalQuads_ = 0;
    texture_ = std::move(texture);
    setupIndices();
    dirty_ = true;
    return true;
}

CCTextureAtlas::~CCTextureAtlas() { deleteBuffers(); }

void CCTextureAtlas::deleteBuffers() {
    if (VAOname_ == 0) return;
    glDeleteBuffers(2, buffersVBO_);
    ccGLDeleteVertexArray(VAOname_);
    buffersVBO_[0] = buffersVBO_[1] = 0;
    VAOname_ = 0;
}

std::string CCTextureAtlas::description() const {
    return stringWithFormat("<%s = %p | totalQuads =  %lu>", className(*this).c_str(), static_cast<const void*>(this),
                            static_cast<unsigned long>(totalQuads_));
}

bool CCTextureAtlas::checkRange(const char* operation, uint64_t index, uint64_t amount, uint64_t limit) const {
    if (index <= limit && amount <= limit - index) return true;
    logLine("Lumora: CCTextureAtlas %s: %lu quads from index %lu reach past the %lu it may touch "
            "(totalQuads %lu, capacity %lu); refused",
            operation, static_cast<unsigned long>(amount), static_cast<unsigned long>(index),
            static_cast<unsigned long>(limit), static_cast<unsigned long>(totalQuads_),
            static_cast<unsigned long>(capacity_));
    return false;
}

bool CCTextureAtlas::checkCapacity(const char* operation, uint64_t capacity) const {
    if (capacity <= kCCTextureAtlasMaxCapacity) return true;
    logLine("Lumora: CCTextureAtlas %s: a capacity of %lu quads is above the %lu that 16-bit indices can address",
            operation, static_cast<unsigned long>(capacity), static_cast<unsigned long>(kCCTextureAtlasMaxCapacity));
    return false;
}

// MARK: GL buffers

void CCTextureAtlas::setupIndices() {
    for (uint64_t i = 0; i < capacity_; ++i) {
        const auto first = static_cast<GLushort>(i * 4);
        GLushort* quad = &indices_[i * 6];
        quad[0] = first;
        quad[1] = first + 1;
        quad[2] = first + 2;
        quad[3] = first + 3;
        quad[4] = first + 2;
        quad[5] = first + 1;
    }
}

void CCTextureAtlas::setupVBOandVAO() {
    deleteBuffers();
    glGenVertexArrays(1, &VAOname_);
    ccGLBindVertexArray(VAOname_);
    glGenBuffers(2, buffersVBO_);

    glBindBuffer(GL_ARRAY_BUFFER, buffersVBO_[0]);
    glBufferData(GL_ARRAY_BUFFER, capacity_ * kQuadBytes, quads_.data(), GL_DYNAMIC_DRAW);
    ccGLSetBufferAttribArrays(ccInterleavedAttribArrays(static_cast<const ccV3F_C4B_T2F*>(nullptr)));

    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffersVBO_[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, capacity_ * kQuadIndexBytes, indices_.data(), GL_STATIC_DRAW);

    ccGLBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void CCTextureAtlas::mapBuffers() {
    if (VAOname_ == 0) return;
    ccGLBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, buffersVBO_[0]);
    glBufferData(GL_ARRAY_BUFFER, capacity_ * kQuadBytes, quads_.data(), GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffersVBO_[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, capacity_ * kQuadIndexBytes, indices_.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// MARK: editing

ccV3F_C4B_T2F_Quad* CCTextureAtlas::quads() {
    dirty_ = true;
    return quads_.data();
}

void CCTextureAtlas::setQuads(std::vector<ccV3F_C4B_T2F_Quad> quads) {
    if (quads.size() != capacity_) {
        logLine("Lumora: CCTextureAtlas setQuads: %lu quads given for a capacity of %lu",
                static_cast<unsigned long>(quads.size()), static_cast<unsigned long>(capacity_));
        return;
    }
    quads_ = std::move(quads);
}

void CCTextureAtlas::updateQuad(const ccV3F_C4B_T2F_Quad* quad, uint64_t index) {
    if (ccV3F_C4B_T2F_Quad* slot = quadToUpdate(index)) *slot = *quad;
}

ccV3F_C4B_T2F_Quad* CCTextureAtlas::quadToUpdate(uint64_t index) {
    if (!checkRange("updateQuad", index, 1, capacity_)) return nullptr;
    totalQuads_ = std::max(index + 1, totalQuads_);
    dirty_ = true;
    return &quads_[index];
}

void CCTextureAtlas::insertQuad(const ccV3F_C4B_T2F_Quad* quad, uint64_t index) {
    insertQuads(quad, index, 1);
}

void CCTextureAtlas::insertQuads(const ccV3F_C4B_T2F_Quad* quads, uint64_t index, uint64_t amount) {
    if (!checkRange("insertQuads", index, 0, totalQuads_) ||
        !checkRange("insertQuads", totalQuads_, amount, capacity_)) {
        return;
    }
    std::copy_backward(quads_.begin() + index, quads_.begin() + totalQuads_, quads_.begin() + totalQuads_ + amount);
    std::copy(quads, quads + amount, quads_.begin() + index);
    totalQuads_ += amount;
    dirty_ = true;
}

void CCTextureAtlas::insertQuadFromIndex(uint64_t oldIndex, uint64_t newIndex) {
    if (!checkRange("insertQuadFromIndex", oldIndex, 1, totalQuads_) ||
        !checkRange("insertQuadFromIndex", newIndex, 1, totalQuads_)) {
        return;
    }
    if (oldIndex == newIndex) return;
    const auto from = quads_.begin() + oldIndex;
    const auto to = quads_.begin() + newIndex;
    if (oldIndex < newIndex) {
        std::rotate(from, from + 1, to + 1);
    } else {
        std::rotate(to, from, from + 1);
    }
    dirty_ = true;
}

void CCTextureAtlas::moveQuadsFromIndex(uint64_t oldIndex, uint64_t amount, uint64_t newIndex) {
    if (!checkRange("moveQuadsFromIndex", oldIndex, amount, totalQuads_) ||
        !checkRange("moveQuadsFromIndex", newIndex, amount, totalQuads_)) {
        return;
    }
    if (oldIndex == newIndex) return;
    const auto from = quads_.begin() + oldIndex;
    const auto to = quads_.begin() + newIndex;
    if (oldIndex < newIndex) {
        std::rotate(from, from + amount, to + amount);
    } else {
        std::rotate(to, from, from + amount);
    }
    dirty_ = true;
}

void CCTextureAtlas::moveQuadsFromIndex(uint64_t oldIndex, uint64_t newIndex) {
    if (!checkRange("moveQuadsFromIndex", oldIndex, 0, totalQuads_)) return;
    const uint64_t amount = totalQuads_ - oldIndex;
    if (!checkRange("moveQuadsFromIndex", newIndex, amount, capacity_)) return;
    std::memmove(&quads_[newIndex], &quads_[oldIndex], amount * sizeof(ccV3F_C4B_T2F_Quad));
}

void CCTextureAtlas::removeQuadAtIndex(uint64_t index) { removeQuadsAtIndex(index, 1); }

void CCTextureAtlas::removeQuadsAtIndex(uint64_t index, uint64_t amount) {
    if (!checkRange("removeQuadsAtIndex", index, amount, totalQuads_)) return;
    std::copy(quads_.begin() + index + amount, quads_.begin() + totalQuads_, quads_.begin() + index);
    totalQuads_ -= amount;
    dirty_ = true;
}

void CCTextureAtlas::removeAllQuads() { totalQuads_ = 0; }

void CCTextureAtlas::fillWithEmptyQuadsFromIndex(uint64_t index, uint64_t amount) {
    if (!checkRange("fillWithEmptyQuadsFromIndex", index, amount, capacity_)) return;
    std::fill_n(quads_.begin() + index, amount, ccV3F_C4B_T2F_Quad{});
}

void CCTextureAtlas::increaseTotalQuadsWith(uint64_t amount) {
    if (!checkRange("increaseTotalQuadsWith", totalQuads_, amount, capacity_)) return;
    totalQuads_ += amount;
}

bool CCTextureAtlas::resizeCapacity(uint64_t newCapacity) {
    if (newCapacity == capacity_) return true;
    if (!checkCapacity("resizeCapacity", newCapacity)) return false;
    try {
        quads_.resize(newCapacity);
        indices_.resize(newCapacity * 6);
    } catch (const std::bad_alloc&) {
        quads_ = {};
        indices_ = {};
        totalQuads_ = capacity_ = 0;
        return false;
    }
    totalQuads_ = std::min(totalQuads_, newCapacity);
    capacity_ = newCapacity;
    setupIndices();
    mapBuffers();
    dirty_ = true;
    return true;
}

// MARK: drawing

void CCTextureAtlas::drawQuads() { drawNumberOfQuads(totalQuads_, 0); }

void CCTextureAtlas::drawNumberOfQuads(uint64_t n) { drawNumberOfQuads(n, 0); }

void CCTextureAtlas::drawNumberOfQuads(uint64_t n, uint64_t start) {
    if (!checkRange("drawNumberOfQuads", start, n, capacity_)) return;
    if (VAOname_ == 0) setupVBOandVAO();
    ccGLBindTexture(texture_ ? texture_->name() : 0);

    if (dirty_) {
        glBindBuffer(GL_ARRAY_BUFFER, buffersVBO_[0]);
        glBufferSubData(GL_ARRAY_BUFFER, start * kQuadBytes, n * kQuadBytes, quads_.data() + start);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        dirty_ = false;
    }

    ccGLBindVertexArray(VAOname_);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(n * 6), GL_UNSIGNED_SHORT,
                   reinterpret_cast<const void*>(start * kQuadIndexBytes));
    ++ccDrawCallCounter;
}

void CCTextureAtlas::setTexture(RefPtr<CCTexture2D> texture) { texture_ = std::move(texture); }
