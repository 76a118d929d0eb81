#pragma once
// The small single pictures: analysis toggles, logo, tabs, tick and check
// marks, the search glass and the placeholder photo.
#include <QImage>

#include "controls/artwork/icons.h"

namespace artwork::detail {

QImage Toggle(IconFn icon, bool on);
QImage Logo();
QImage Tab(bool selected);
QImage TickImage();
QImage CheckImage(bool ticked);
QImage SearchImage();
QImage PlaceholderPhoto();

}  // namespace artwork::detail
