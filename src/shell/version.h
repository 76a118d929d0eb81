#pragma once
// The program's version as the splash window shows it.  The version set in
// the build (PITROVA_VERSION_MAJOR and PITROVA_VERSION_MINOR) is compiled in
// and stands for the program file's version resource.
#include <QString>

// "%d.%2.2d" of the first two version numbers ("1.00", "3.37"); "0.00" for a
// build that carries no version.
QString VersionText();

// The same text for given numbers.
QString VersionText(int major, int minor);
