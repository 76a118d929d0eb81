// The drawn pictures: every one at its size and not blank; the five states
// of every image button tell apart; the paired pictures (tab, toggles,
// check marks) differ.
#include <gtest/gtest.h>

#include <QImage>
#include <QSet>

#include "controls/artwork.h"

using namespace artwork;

namespace {

// At least two different pixels and something not fully transparent.
bool HasContent(const QPixmap& pm)
{
    const QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> seen;
    bool visible = false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            visible = visible || qAlpha(c) > 0;
            seen.insert(c);
        }
    return visible && seen.size() > 1;
}

bool SamePixels(const QPixmap& a, const QPixmap& b)
{
    return a.toImage().convertToFormat(QImage::Format_ARGB32) == b.toImage().convertToFormat(QImage::Format_ARGB32);
}

struct ArtCase {
    ArtId id;
    QSize size;
};

const ArtCase kArt[] = {
    {ArtId::Logo, {190, 52}},
    {ArtId::TabNormal, {182, 53}},
    {ArtId::TabSelected, {182, 53}},
    {ArtId::LapTimesOff, {48, 45}},
    {ArtId::LapTimesOn, {48, 45}},
    {ArtId::WholeSessionOff, {48, 45}},
    {ArtId::WholeSessionOn, {48, 45}},
    {ArtId::LapOverlayOff, {48, 45}},
    {ArtId::LapOverlayOn, {48, 45}},
    {ArtId::Tick, {29, 19}},
    {ArtId::CheckTicked, {29, 19}},
    {ArtId::CheckUnticked, {29, 19}},
    {ArtId::PlaceholderPhoto, {200, 200}},
    {ArtId::Search, {34, 39}},
    {ArtId::Splash, {568, 328}},
    {ArtId::ChooserBackground, {515, 302}},
};

struct ButtonCase {
    ButtonId id;
    QSize size;
};

const ButtonCase kButtons[] = {
    {ButtonId::NewProject, {48, 45}},  {ButtonId::OpenProject, {48, 45}}, {ButtonId::SaveProject, {48, 45}},
    {ButtonId::Drivers, {48, 45}},     {ButtonId::Tracks, {48, 45}},      {ButtonId::Vehicle, {48, 45}},
    {ButtonId::Template, {48, 45}},    {ButtonId::ReadKey, {48, 45}},     {ButtonId::SaveToKey, {48, 45}},
    {ButtonId::Cascade, {40, 40}},     {ButtonId::Tile, {40, 40}},        {ButtonId::ChooserOpen, {100, 100}},
    {ButtonId::ChooserNew, {100, 100}}, {ButtonId::ChooserExit, {100, 100}}, {ButtonId::Ok, {40, 40}},
    {ButtonId::Cancel, {40, 40}},      {ButtonId::ListAdd, {40, 40}},     {ButtonId::ListEdit, {40, 40}},
    {ButtonId::ListDelete, {40, 40}},
};

}  // namespace

TEST(Artwork, EveryPictureAtItsSizeAndNotBlank)
{
    static_assert(std::size(kArt) == size_t(ArtId::Count), "a picture is missing from the table");
    for (const ArtCase& c : kArt) {
        SCOPED_TRACE(ArtName(c.id).toStdString());
        const QPixmap& pm = Art(c.id);
        ASSERT_FALSE(pm.isNull());
        EXPECT_EQ(pm.size(), c.size);
        EXPECT_EQ(ArtSize(c.id), c.size);
        EXPECT_TRUE(HasContent(pm));
    }
}

TEST(Artwork, PicturesAreCachedForTheRun)
{
    EXPECT_EQ(&Art(ArtId::Splash), &Art(ArtId::Splash));
    EXPECT_EQ(&ButtonPictures(ButtonId::Ok), &ButtonPictures(ButtonId::Ok));
}

// Backgrounds are opaque: the placeholder photo is stored as a 24-bit bitmap.
TEST(Artwork, BackgroundsHaveNoAlpha)
{
    for (ArtId id : {ArtId::PlaceholderPhoto, ArtId::Splash, ArtId::ChooserBackground}) {
        SCOPED_TRACE(ArtName(id).toStdString());
        EXPECT_FALSE(Art(id).hasAlphaChannel());
    }
    EXPECT_FALSE(Banner(300).hasAlphaChannel());
    EXPECT_FALSE(Strip(300).hasAlphaChannel());
}

TEST(Artwork, PairedPicturesDiffer)
{
    const std::pair<ArtId, ArtId> pairs[] = {
        {ArtId::TabNormal, ArtId::TabSelected},
        {ArtId::LapTimesOff, ArtId::LapTimesOn},
        {ArtId::WholeSessionOff, ArtId::WholeSessionOn},
        {ArtId::LapOverlayOff, ArtId::LapOverlayOn},
        {ArtId::CheckTicked, ArtId::CheckUnticked},
        {ArtId::LapTimesOn, ArtId::WholeSessionOn},
        {ArtId::WholeSessionOn, ArtId::LapOverlayOn},
    };
    for (const auto& [a, b] : pairs) {
        SCOPED_TRACE((ArtName(a) + " / " + ArtName(b)).toStdString());
        EXPECT_FALSE(SamePixels(Art(a), Art(b)));
    }
}

TEST(Artwork, ButtonsHaveFiveDistinctStatesAtTheirSize)
{
    static_assert(std::size(kButtons) == size_t(ButtonId::Count), "a button is missing from the table");
    for (const ButtonCase& c : kButtons) {
        SCOPED_TRACE(ButtonName(c.id).toStdString());
        const ButtonArt& b = ButtonPictures(c.id);
        EXPECT_EQ(ButtonSize(c.id), c.size);
        const QPixmap* states[] = {&b.normal, &b.over, &b.down, &b.up, &b.disabled};
        for (const QPixmap* s : states) {
            ASSERT_FALSE(s->isNull());
            EXPECT_EQ(s->size(), c.size);
            EXPECT_TRUE(HasContent(*s));
        }
        for (int i = 0; i < 5; ++i)
            for (int j = i + 1; j < 5; ++j)
                EXPECT_FALSE(SamePixels(*states[i], *states[j])) << "states " << i << " and " << j;
    }
}

// Buttons of one size must still be told apart by their icons.
TEST(Artwork, ButtonsOfOneSizeShowDifferentIcons)
{
    for (size_t i = 0; i < std::size(kButtons); ++i)
        for (size_t j = i + 1; j < std::size(kButtons); ++j) {
            if (kButtons[i].size != kButtons[j].size)
                continue;
            EXPECT_FALSE(SamePixels(ButtonPictures(kButtons[i].id).normal, ButtonPictures(kButtons[j].id).normal))
                << ButtonName(kButtons[i].id).toStdString() << " / " << ButtonName(kButtons[j].id).toStdString();
        }
}

TEST(Artwork, StretchedPicturesTakeTheSizeAsked)
{
    const struct {
        QPixmap pm;
        QSize size;
    } cases[] = {
        {Banner(1280), {1280, 52}}, {Banner(300, 60), {300, 60}}, {Strip(1280), {1280, 76}},
        {Strip(640, 40), {640, 40}}, {Workspace(QSize(900, 500)), {900, 500}},
        // degenerate sizes still give a usable picture
        {Banner(0), {1, 52}},        {Workspace(QSize(0, 0)), {1, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.pm.size(), c.size);
        if (c.size.width() > 1) {
            EXPECT_TRUE(HasContent(c.pm));
        }
    }
}

TEST(Artwork, ChooserButtonsFitTheBackgroundWithoutOverlap)
{
    const QRect bg(QPoint(0, 0), ArtSize(ArtId::ChooserBackground));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ChooserButtonRect(i).size(), QSize(100, 100));
        EXPECT_TRUE(bg.contains(ChooserButtonRect(i)));
        EXPECT_TRUE(bg.contains(ChooserCaptionRect(i)));
        EXPECT_GT(ChooserCaptionRect(i).top(), ChooserButtonRect(i).bottom());
        for (int j = i + 1; j < 3; ++j) {
            EXPECT_FALSE(ChooserButtonRect(i).intersects(ChooserButtonRect(j)));
            EXPECT_FALSE(ChooserCaptionRect(i).intersects(ChooserCaptionRect(j)));
        }
    }
}
