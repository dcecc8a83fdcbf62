#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/core/CCAtlasNode.h"
#include "engine/core/CCLabelProtocol.h"

// Text drawn from a character map: an image cut into equal cells, row by row from its top-left,
// one cell per character code counted from the map's first character. One quad per byte of the
// text, all drawn with one draw call; meant for single-byte text such as numbers.
//
// A code below the first character wraps around modulo 256 and picks a cell far down the map; an
// image narrower than one cell has no cells and the label draws nothing.
//
// Changing the text allocates only when it grows beyond every text shown before.
//
// Engine thread only.
class CCLabelAtlas : public CCAtlasNode, public CCLabelProtocol {
public:
    // Null when the image cannot be loaded. Item size in points.
    static RefPtr<CCLabelAtlas> labelWithString(std::string_view text, const std::string& charMapFile,
                                                uint64_t itemWidth, uint64_t itemHeight, uint64_t startCharMap);
    // Null, logged, when the character-map property list cannot be read; null when its image
    // cannot be loaded.
    static RefPtr<CCLabelAtlas> labelWithString(std::string_view text, const std::string& fntFile);

    CCLabelAtlas() = default;

    // An atlas of the image with room for the text, then the text.
    bool initWithString(std::string_view text, const std::string& charMapFile, uint64_t itemWidth, uint64_t itemHeight,
                        uint64_t startCharMap);
    // From a character-map property list found through file lookup: a dictionary of
    // "textureFilename" (the image, given to the texture cache as it stands), "itemWidth" and
    // "itemHeight" (pixels) and "firstChar" (a character code).
    bool initWithString(std::string_view text, const std::string& fntFile);

    // An equal text changes nothing; otherwise the quads are rebuilt, the content size becomes
    // (bytes x item width, item height) and that many quads are drawn. A text beyond the atlas's
    // largest capacity is refused (logged by the atlas).
    void setString(std::string_view text) override;
    const std::string& string() const override { return string_; }

    // Writes the quad of every byte of the text.
    void updateAtlasValues() override;

    uint64_t mapStartChar() const { return mapStartChar_; }

private:
    std::string string_;
    uint64_t mapStartChar_ = 0;  // character code of cell 0
};
