# Installs the Debian packages the project needs, only those that are missing.
# Sourced by scripts/check and scripts/demo.

ALLOCFIX_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    libqt6sql6-sqlite libqt6sql6-psql libgl-dev libsqlite3-dev libpq-dev
    libcsv-dev libxlsxwriter-dev libzip-dev
    fonts-noto-cjk
    postgresql
)

# What scripts/package needs: dpkg-shlibdeps finds the packages' dependencies; lintian.
ALLOCFIX_PACKAGE_PACKAGES=(dpkg-dev lintian)

# What the scale benchmark needs: GNU time measures each run of the program on its own.
ALLOCFIX_BENCH_PACKAGES=(time)

# What scripts/screenshots needs: a virtual display, and a tool that makes the pictures smaller.
ALLOCFIX_SCREENSHOT_PACKAGES=(xvfb xauth optipng)

# What only scripts/check needs: clang and libFuzzer for the fuzzers, the packaging tools, the
# validators of the desktop entry and the AppStream metainfo, what its tiny benchmark needs, and
# LibreOffice, which saves the worksheet as a spreadsheet user's program does for the import's tests.
ALLOCFIX_CHECK_PACKAGES=(clang-14 libclang-rt-14-dev "${ALLOCFIX_PACKAGE_PACKAGES[@]}"
    desktop-file-utils appstream "${ALLOCFIX_BENCH_PACKAGES[@]}" libreoffice-calc-nogui)

allocfix_missing_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    echo "${missing[@]}"
}

allocfix_install_packages() {
    local missing
    missing=$(allocfix_missing_packages "${ALLOCFIX_PACKAGES[@]}" "$@")
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    # shellcheck disable=SC2086
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null
    # shellcheck disable=SC2086
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        $missing >/dev/null
}
