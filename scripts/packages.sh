# Debian packages the project needs, by purpose.
BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config libsdl2-dev libpng-dev python3)
TEST_PACKAGES=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
               xvfb jwm xdotool imagemagick xfonts-base x11-utils)
