#include "controls/artwork.h"

#include <QCoreApplication>

#include <array>
#include <optional>

#include "controls/ButtonComps.h"
#include "controls/artwork/backdrops.h"
#include "controls/artwork/faces.h"
#include "controls/artwork/icons.h"
#include "controls/artwork/pictures.h"

namespace artwork {

using namespace detail;

namespace {

QImage MakeArt(ArtId id)
{
    switch (id) {
    case ArtId::Logo: return Logo();
    case ArtId::TabNormal: return Tab(false);
    case ArtId::TabSelected: return Tab(true);
    case ArtId::LapTimesOff: return Toggle(IconLapTimes, false);
    case ArtId::LapTimesOn: return Toggle(IconLapTimes, true);
    case ArtId::WholeSessionOff: return Toggle(IconWholeSession, false);
    case ArtId::WholeSessionOn: return Toggle(IconWholeSession, true);
    case ArtId::LapOverlayOff: return Toggle(IconLapOverlay, false);
    case ArtId::LapOverlayOn: return Toggle(IconLapOverlay, true);
    case ArtId::Tick: return TickImage();
    case ArtId::CheckTicked: return CheckImage(true);
    case ArtId::CheckUnticked: return CheckImage(false);
    case ArtId::PlaceholderPhoto: return PlaceholderPhoto();
    case ArtId::Search: return SearchImage();
    case ArtId::Splash: return Splash();
    case ArtId::ChooserBackground: return ChooserBackground();
    case ArtId::Count: break;
    }
    return {};
}

// ---- Cache -----------------------------------------------------------------

struct Cache {
    std::array<std::optional<QPixmap>, size_t(ArtId::Count)> art;
    std::array<std::optional<ButtonArt>, size_t(ButtonId::Count)> buttons;
    bool hooked = false;
};

Cache& TheCache()
{
    static Cache cache;
    return cache;
}

// Pixmaps must go before the application object does.
void ReleaseCache()
{
    Cache& c = TheCache();
    for (auto& a : c.art)
        a.reset();
    for (auto& b : c.buttons)
        b.reset();
    c.hooked = false;
}

void HookRelease(Cache& c)
{
    if (!c.hooked) {
        qAddPostRoutine(ReleaseCache);
        c.hooked = true;
    }
}

}  // namespace

const QPixmap& Art(ArtId id)
{
    static const QPixmap none;
    if (id < ArtId::Logo || id >= ArtId::Count)
        return none;
    Cache& c = TheCache();
    auto& slot = c.art[size_t(id)];
    if (!slot) {
        HookRelease(c);
        slot = QPixmap::fromImage(MakeArt(id));
    }
    return *slot;
}

const ButtonArt& ButtonPictures(ButtonId id)
{
    static const ButtonArt none;
    if (id < ButtonId::NewProject || id >= ButtonId::Count)
        return none;
    Cache& c = TheCache();
    auto& slot = c.buttons[size_t(id)];
    if (!slot) {
        HookRelease(c);
        slot = MakeButton(id);
    }
    return *slot;
}

QSize ArtSize(ArtId id)
{
    switch (id) {
    case ArtId::Logo: return {190, 52};
    case ArtId::TabNormal:
    case ArtId::TabSelected: return {182, 53};
    case ArtId::LapTimesOff:
    case ArtId::LapTimesOn:
    case ArtId::WholeSessionOff:
    case ArtId::WholeSessionOn:
    case ArtId::LapOverlayOff:
    case ArtId::LapOverlayOn: return {48, 45};
    case ArtId::Tick:
    case ArtId::CheckTicked:
    case ArtId::CheckUnticked: return {29, 19};
    case ArtId::PlaceholderPhoto: return {200, 200};
    case ArtId::Search: return {34, 39};
    case ArtId::Splash: return {568, 328};
    case ArtId::ChooserBackground: return {515, 302};
    case ArtId::Count: break;
    }
    return {};
}

QSize ButtonSize(ButtonId id)
{
    if (id < ButtonId::NewProject || id >= ButtonId::Count)
        return {};
    return StyleOf(id).size;
}

QString ArtName(ArtId id)
{
    switch (id) {
    case ArtId::Logo: return QStringLiteral("Logo");
    case ArtId::TabNormal: return QStringLiteral("TabNormal");
    case ArtId::TabSelected: return QStringLiteral("TabSelected");
    case ArtId::LapTimesOff: return QStringLiteral("LapTimesOff");
    case ArtId::LapTimesOn: return QStringLiteral("LapTimesOn");
    case ArtId::WholeSessionOff: return QStringLiteral("WholeSessionOff");
    case ArtId::WholeSessionOn: return QStringLiteral("WholeSessionOn");
    case ArtId::LapOverlayOff: return QStringLiteral("LapOverlayOff");
    case ArtId::LapOverlayOn: return QStringLiteral("LapOverlayOn");
    case ArtId::Tick: return QStringLiteral("Tick");
    case ArtId::CheckTicked: return QStringLiteral("CheckTicked");
    case ArtId::CheckUnticked: return QStringLiteral("CheckUnticked");
    case ArtId::PlaceholderPhoto: return QStringLiteral("PlaceholderPhoto");
    case ArtId::Search: return QStringLiteral("Search");
    case ArtId::Splash: return QStringLiteral("Splash");
    case ArtId::ChooserBackground: return QStringLiteral("ChooserBackground");
    case ArtId::Count: break;
    }
    return {};
}

QString ButtonName(ButtonId id)
{
    switch (id) {
    case ButtonId::NewProject: return QStringLiteral("NewProject");
    case ButtonId::OpenProject: return QStringLiteral("OpenProject");
    case ButtonId::SaveProject: return QStringLiteral("SaveProject");
    case ButtonId::Drivers: return QStringLiteral("Drivers");
    case ButtonId::Tracks: return QStringLiteral("Tracks");
    case ButtonId::Vehicle: return QStringLiteral("Vehicle");
    case ButtonId::Template: return QStringLiteral("Template");
    case ButtonId::ReadKey: return QStringLiteral("ReadKey");
    case ButtonId::SaveToKey: return QStringLiteral("SaveToKey");
    case ButtonId::Cascade: return QStringLiteral("Cascade");
    case ButtonId::Tile: return QStringLiteral("Tile");
    case ButtonId::ChooserOpen: return QStringLiteral("ChooserOpen");
    case ButtonId::ChooserNew: return QStringLiteral("ChooserNew");
    case ButtonId::ChooserExit: return QStringLiteral("ChooserExit");
    case ButtonId::Ok: return QStringLiteral("Ok");
    case ButtonId::Cancel: return QStringLiteral("Cancel");
    case ButtonId::ListAdd: return QStringLiteral("ListAdd");
    case ButtonId::ListEdit: return QStringLiteral("ListEdit");
    case ButtonId::ListDelete: return QStringLiteral("ListDelete");
    case ButtonId::Count: break;
    }
    return {};
}

QRect ChooserButtonRect(int index)
{
    return ChooserButton(index);
}

QRect ChooserCaptionRect(int index)
{
    const QRect b = ChooserButton(index);
    return QRect(b.left() - 6, b.bottom() + 8, b.width() + 12, 22);
}

void SetButtonPictures(TImageButton& button, ButtonId id)
{
    const ButtonArt& art = ButtonPictures(id);
    button.SetBitmap(art.normal);
    button.SetBitmapOver(art.over);
    button.SetBitmapDown(art.down);
    button.SetBitmapUp(art.up);
    button.SetBitmapDisabled(art.disabled);
}

}  // namespace artwork
