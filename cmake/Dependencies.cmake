# Third-party libraries, found once for the whole tree.

find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Sql Widgets)

# fbclient ships no pkg-config or CMake file on Debian.
find_path(FBCLIENT_INCLUDE_DIR ibase.h REQUIRED)
find_library(FBCLIENT_LIBRARY NAMES fbclient REQUIRED)
add_library(Firebird::fbclient UNKNOWN IMPORTED)
set_target_properties(Firebird::fbclient PROPERTIES
  IMPORTED_LOCATION "${FBCLIENT_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${FBCLIENT_INCLUDE_DIR}")

# libusb 0.1 (the original API with usb.h).
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBUSB0 REQUIRED IMPORTED_TARGET libusb)

find_package(JPEG REQUIRED)

if(PITROVA_BUILD_TESTS)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

if(PITROVA_BUILD_BENCHMARKS)
  find_package(benchmark QUIET)
endif()
