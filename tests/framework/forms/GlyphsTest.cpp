#include "framework/forms/Glyphs.h"

#include <QImage>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The glyphs as a button shows them, at two sizes.
QImage render(TGlyph glyph, int size) {
    return GlyphIcon(glyph).pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool blank(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
    return true;
}

} // namespace

TEST(Glyphs, EveryGlyphIsDrawnAndNoTwoLookAlike) {
    for (int size : {16, 32}) {
        std::vector<QImage> seen;
        for (int g = int(TGlyph::Exit); g <= int(TGlyph::RefreshData); ++g) {
            const QImage image = render(TGlyph(g), size);
            ASSERT_EQ(image.size(), QSize(size, size)) << g;
            EXPECT_FALSE(blank(image)) << "glyph " << g << " at " << size;
            for (size_t other = 0; other < seen.size(); ++other)
                EXPECT_NE(image, seen[other]) << "glyphs " << other << " and " << g;
            seen.push_back(image);
        }
    }
}
