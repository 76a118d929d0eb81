#include "shell/version.h"

#include "shell/common/stale.h"

QString VersionText(int major, int minor) { return Format("%d.%2.2d", major, minor); }

QString VersionText()
{
#if defined(PITROVA_VERSION_MAJOR) && defined(PITROVA_VERSION_MINOR)
    return VersionText(PITROVA_VERSION_MAJOR, PITROVA_VERSION_MINOR);
#else
    return VersionText(0, 0);
#endif
}
