// Tweens of the labels' own float properties: the bitmap-font label's wrap width and the
// system-font label's size, each seen in the label's layout.

#include <gtest/gtest.h>

#include <vector>

#include "engine/actions/interval/CCActionTween.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCLabelTTF.h"
#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

class CCActionTweenGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        // 'a' 8 x 12, advancing 8; the blank advances 4; lines 16 high.
        folder_.write("font.fnt", "common lineHeight=16 base=12 scaleW=16 scaleH=16 pages=1\n"
                                  "page id=0 file=\"glyphs.png\"\n"
                                  "char id=97 x=0 y=0 width=8 height=12 xoffset=0 yoffset=4 xadvance=8\n"
                                  "char id=32 x=12 y=12 width=0 height=0 xoffset=0 yoffset=0 xadvance=4\n");
        ASSERT_TRUE(Image(16, 16, true, std::vector<uint8_t>(16 * 16 * 4, 255)).writePNG(folder_.file("glyphs.png")));
    }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
};

TEST_F(CCActionTweenGLTest, TweensWrapTheBitmapFontLabelAndSizeTheSystemFontLabel) {
    const RefPtr<CCLabelBMFont> wrapped = CCLabelBMFont::labelWithString("aa aa", "font.fnt");
    const RefPtr<CCLabelTTF> sized = CCLabelTTF::labelWithString("a", "DejaVu Sans", 10);
    ASSERT_TRUE(wrapped && sized);
    LogCapture log;
    const RefPtr<CCActionTween> width = CCActionTween::actionWithDuration(1, "width", 100, 20);
    width->startWithTarget(wrapped.get());
    width->update(0);
    EXPECT_EQ(wrapped->contentSize().height, 16);  // one line within 100 points
    width->update(1);
    EXPECT_EQ(wrapped->contentSize().height, 32);  // two lines within 20

    const RefPtr<CCActionTween> fontSize = CCActionTween::actionWithDuration(1, "fontSize", 10, 30);
    fontSize->startWithTarget(sized.get());
    const double smallHeight = sized->contentSize().height;
    fontSize->update(0.5f);
    EXPECT_EQ(sized->fontSize(), 20);
    EXPECT_GT(sized->contentSize().height, smallHeight);
    EXPECT_TRUE(log.lines().empty());
}

}  // namespace
