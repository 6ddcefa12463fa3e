# Debian packages the project needs, by purpose.
BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config libsdl2-dev libpng-dev python3)
# The Windows program: cross-compiler, and Wine (64-bit only) to run it.
WINE_PACKAGES=(g++-mingw-w64-x86-64 wine wine64 fonts-wine)
# scripts/package: CPack's Debian generator finds the programs with file; the Windows zip
# needs the cross-compiler.
PACKAGE_PACKAGES=(file g++-mingw-w64-x86-64)
# The browser build, and the browser that its test drives.
WEB_PACKAGES=(emscripten)
WEB_TEST_PACKAGES=(chromium chromium-driver python3-selenium)
TEST_PACKAGES=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
               xvfb jwm xdotool imagemagick xfonts-base x11-utils "${WINE_PACKAGES[@]}"
               "${PACKAGE_PACKAGES[@]}" lintian desktop-file-utils man-db
               "${WEB_PACKAGES[@]}" "${WEB_TEST_PACKAGES[@]}")
