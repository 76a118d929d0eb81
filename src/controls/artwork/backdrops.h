#pragma once
// The opaque backgrounds drawn at a fixed size: the splash and the project
// chooser (the banner, strip and workspace, drawn for the size asked, are
// declared in controls/artwork.h).
#include <QImage>
#include <QRect>

namespace artwork::detail {

QImage Splash();
// Where the chooser background places button `index` (0..2).
QRect ChooserButton(int index);
QImage ChooserBackground();

}  // namespace artwork::detail
