#pragma once
// The program's pictures: banner, tabs, toolbar and dialog buttons, splash,
// project chooser background, check marks and the placeholder photo.
//
// Everything is drawn with QPainter on first use and kept for the rest of the
// run, so the program carries no image files.  One dark graphite theme with a
// single racing-orange accent runs through all of them.  Pictures that sit on
// a bar or a panel (logo, tabs, image buttons, check marks, search glass)
// have transparent surroundings; backgrounds (banner, strip, splash, chooser,
// placeholder photo, workspace) are opaque.
//
// Needs a QGuiApplication (or QApplication); call from the GUI thread only.
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

class TImageButton;

namespace artwork {

// Single pictures.
enum class ArtId {
    Logo,               // 190 x 52, left end of the main window's banner
    TabNormal,          // 182 x 53, toolbar tab, no caption (a label draws it)
    TabSelected,        // 182 x 53
    LapTimesOff,        // 48 x 45, toggle of the lap time diagram
    LapTimesOn,
    WholeSessionOff,    // 48 x 45, toggle of the whole-session chart
    WholeSessionOn,
    LapOverlayOff,      // 48 x 45, toggle of the lap-overlay chart
    LapOverlayOn,
    Tick,               // 29 x 19, the tick drawn in the selection column
    CheckTicked,        // 29 x 19, check picture of a card, ticked
    CheckUnticked,      // 29 x 19, check picture of a card, unticked
    PlaceholderPhoto,   // 200 x 200, opaque (stored as a 24-bit bitmap)
    Search,             // 34 x 39, left of the track search box
    Splash,             // 568 x 328; the lower right corner is left plain
    ChooserBackground,  // 515 x 302, see ChooserButtonRect
    Count
};

// Image buttons: five pictures each, all of the button's size.
enum class ButtonId {
    NewProject,      // 48 x 45 toolbar buttons
    OpenProject,
    SaveProject,
    Drivers,
    Tracks,
    Vehicle,
    Template,
    ReadKey,
    SaveToKey,
    Cascade,         // 40 x 40, window arrangement at the banner's right end
    Tile,
    ChooserOpen,     // 100 x 100, project chooser
    ChooserNew,
    ChooserExit,
    Ok,              // 40 x 40, dialog and check-list accept
    Cancel,          // 40 x 40, dialog and check-list cancel
    ListAdd,         // 40 x 40, list windows' top bar
    ListEdit,
    ListDelete,
    Count
};

struct ButtonArt {
    QPixmap normal, over, down, up, disabled;
};

// Cached pictures; the references stay valid for the rest of the run.
const QPixmap& Art(ArtId id);
const ButtonArt& ButtonPictures(ButtonId id);
// Gives an image button the five pictures of a button.
void SetButtonPictures(TImageButton& button, ButtonId id);

// Stretched pictures, drawn for the size asked (not cached).
// Banner: the top bar of the main window (52 high) and of the list windows.
QPixmap Banner(int width, int height = 52);
// Strip: the part of the main window's top panel below the banner, where the
// toolbar buttons sit; its top edge carries the accent line the selected tab
// joins.
QPixmap Strip(int width, int height = 76);
// Workspace: the client area behind the child windows.
QPixmap Workspace(QSize size);

// Sizes and names (for layout and for the contact sheet).
QSize ArtSize(ArtId id);
QSize ButtonSize(ButtonId id);
QString ArtName(ArtId id);
QString ButtonName(ButtonId id);

// Where the chooser background expects its three 100 x 100 buttons
// (index 0 "Open project", 1 "New project", 2 "Exit") and their captions.
QRect ChooserButtonRect(int index);
QRect ChooserCaptionRect(int index);

}  // namespace artwork
