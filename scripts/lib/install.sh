# What `cmake --install` and the Debian packages deliver, checked from outside the tree.
# Sourced by scripts/check and scripts/package.

# Installs the build into a throwaway prefix, compiles every installed header on its own and the
# example host against that prefix alone, and runs both the example and the installed program.
# Fails on a missing header or on a path of the source or build tree left in the installed files.
allocfix_check_install() {
    local build=$1 work
    work=$(mktemp -d)
    trap 'rm -rf "$work"' RETURN
    local prefix=$work/prefix
    cmake --install "$build" --prefix "$prefix" >/dev/null

    local source_dir build_dir leaks
    source_dir=$(pwd -P)
    build_dir=$(cd "$build" && pwd -P)
    leaks=$(grep -rIl -e "$source_dir" -e "$build_dir" "$prefix" || true)
    local binary
    for binary in "$prefix"/bin/* "$prefix"/lib*/*.so* "$prefix"/lib*/*/*.so*; do
        [ -f "$binary" ] || continue
        readelf -d "$binary" | grep -E 'RPATH|RUNPATH' | grep -qE "$source_dir|$build_dir" &&
            leaks+=" $binary"
    done
    if [ -n "$leaks" ]; then
        echo "install: the installed tree names the build or source tree:$leaks" >&2
        return 1
    fi

    # Each installed header compiles on its own, with what the .pc files give, as a host names it:
    # <AllocFix/ShowUpdate.h>, <FixedAssets/AccountSet.h>. Each of those short names includes the
    # header in its folder, so compiling them compiles every header.
    local pc_dir flags
    pc_dir=$(dirname "$(find "$prefix" -name allocfix.pc)")
    flags=$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags allocfix-fixedassets)
    export ALLOCFIX_HEADER_FLAGS=$flags
    # shellcheck disable=SC2016 # expanded by the shell xargs starts
    (cd "$prefix/include" && find AllocFix FixedAssets -maxdepth 1 -name '*.h') |
        xargs -P "$(nproc)" -I{} sh -c 'echo "#include <{}>" |
            g++ -std=c++20 -fPIC -fsyntax-only $ALLOCFIX_HEADER_FLAGS -x c++ - ||
            { echo "install: {} does not compile on its own" >&2; exit 255; }'
    # Only the documented headers are installed.
    local count
    count=$(find "$prefix/include" -name '*.h' | wc -l)
    if [ "$count" -ne "${ALLOCFIX_INSTALLED_HEADERS:-51}" ]; then
        echo "install: $count headers installed, not ${ALLOCFIX_INSTALLED_HEADERS:-51}" >&2
        return 1
    fi
    # A host without CMake: pkg-config's flags and libraries build and run it.
    cat >"$work/pc-host.cpp" <<'CPP'
#include <AllocFix/AllocFixVersion.h>
#include <AllocFix/ObjectRegistry.h>
#include <FixedAssets/AccountSetLocation.h>
#include <FixedAssets/HostServices.h>
static_assert(ALLOCFIX_VERSION >= ALLOCFIX_VERSION_CHECK(1, 0, 0));
int main()
{
    FixedAssets::registerHostServices();
    return 0;
}
CPP
    # shellcheck disable=SC2046 # pkg-config's words are separate arguments
    g++ -std=c++20 -fPIC "$work/pc-host.cpp" -o "$work/pc-host" \
        $(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs allocfix-fixedassets)
    LD_LIBRARY_PATH=$(PKG_CONFIG_PATH=$pc_dir pkg-config --variable=libdir allocfix) "$work/pc-host"

    cmake -S examples/minimal-host -B "$work/example" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >/dev/null
    cmake --build "$work/example" >/dev/null
    QT_QPA_PLATFORM=offscreen "$work/example/minimal-host" >/dev/null
    "$prefix/bin/allocfix" --version >/dev/null
}

# Configures a build of the shipped pieces as a distribution builds them: optimised, with debug
# information for the separate debug-symbol packages, and hardened with the flags dpkg-buildflags
# gives (bindnow included; fortify needs the -O2 it brings). CMake reads no CPPFLAGS, so they go
# with the compiler's flags. Further arguments go to cmake.
allocfix_configure_distribution() {
    local build=$1
    shift
    local flags
    flags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)
    (
        eval "$flags"
        CXXFLAGS="$CPPFLAGS $CXXFLAGS" cmake -S . -B "$build" -G Ninja \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr -DALLOCFIX_TESTS=OFF \
            "$@" >/dev/null
    )
}

# The symbols a Debian symbols file lists, "<library> <symbol>" a line, sorted, without versions.
allocfix_symbol_names() {
    awk '/^[^ *#]/ { library = $1 } /^ / { sub(/@Base$/, "", $1); print library, $1 }' "$1" |
        LC_ALL=C sort
}

# What the libraries of a distribution build (allocfix_configure_distribution) export, as the
# build lists it in <build>/debian/symbols, must be what the committed packaging/debian/symbols
# lists, library by library; its versions say which release brought each symbol. Fails with the
# difference, demangled. Another kind of build may keep other inline functions out of line, so
# only a distribution build is compared.
allocfix_check_symbols() {
    local build=$1 listed=packaging/debian/symbols
    local built=$build/debian/symbols added dropped
    added=$(LC_ALL=C comm -13 <(allocfix_symbol_names "$listed") <(allocfix_symbol_names "$built"))
    dropped=$(LC_ALL=C comm -23 <(allocfix_symbol_names "$listed") <(allocfix_symbol_names "$built"))
    [ -z "$added$dropped" ] && return 0
    local mark list library symbol
    for mark in + -; do
        list=$added
        [ "$mark" = - ] && list=$dropped
        [ -n "$list" ] || continue
        if [ "$mark" = + ]; then
            echo "symbols: the libraries export what $listed does not list:"
        else
            echo "symbols: the libraries no longer export what $listed lists:"
        fi
        while read -r library symbol; do
            printf '  %s %s %s\n' "$mark" "$library" "$(c++filt "$symbol")"
        done <<<"$list"
    done >&2
    cat >&2 <<EOF
symbols: only the documented interface is exported (ALLOCFIX_EXPORT, FIXEDASSETS_EXPORT). For a
symbols: change that is meant, list a new symbol in $listed with the version that
symbols: brings it ($built is the build's own list); a dropped one breaks hosts built before.
EOF
    return 1
}

# Makes the Debian packages of a configured build into <build>/packages.
allocfix_make_packages() {
    local build=$1
    rm -rf "$build/packages"
    (cd "$build" && cpack -G DEB -B "$PWD/packages" >/dev/null)
    rm -rf "$build/packages/_CPack_Packages"
    # What CPack leaves to do, done as Debian's own tools do it: a package with a library gets
    # maintainer scripts that only call ldconfig, which the package's ldconfig trigger does, so
    # they go; the stripped binaries keep the compiler's .comment section, which goes too (the
    # debug symbols stay matched by build ID).
    local deb unpacked script binary
    for deb in "$build"/packages/*.deb; do
        unpacked=$(mktemp -d)
        dpkg-deb -R "$deb" "$unpacked"
        for script in postinst postrm; do
            [ -f "$unpacked/DEBIAN/$script" ] || continue
            # shellcheck disable=SC2016 # the script's own text, not expanded
            grep -vqE '^(#!/bin/sh|set -e|if \[ "\$1" = "[a-z]+" \]; then|[[:space:]]*ldconfig|fi|)$' \
                "$unpacked/DEBIAN/$script" || rm "$unpacked/DEBIAN/$script"
        done
        while IFS= read -r binary; do
            file -b "$binary" | grep -q '^ELF' || continue
            objcopy --remove-section=.comment "$binary"
        done < <(find "$unpacked" -path "$unpacked/DEBIAN" -prune -o -type f -print)
        (cd "$unpacked" && find . -path ./DEBIAN -prune -o -type f -printf '%P\n' | LC_ALL=C sort |
            xargs -r md5sum >DEBIAN/md5sums)
        dpkg-deb --root-owner-group -Zgzip --build "$unpacked" "$deb" >/dev/null
        rm -rf "$unpacked"
    done
}

# Lintian's verdict on the packages, pedantic: an error or a warning fails. The README lists the
# notes it still gives, each with its reason.
allocfix_lint_packages() {
    local folder=$1
    lintian -I -E --pedantic --fail-on error,warning "$folder"/*.deb
}

# What each package must hold, one pattern of `dpkg-deb -c` paths a line.
allocfix_check_packages() {
    local folder=$1 deb
    local -A expected=(
        [liballocfix1]='/libAllocFix\.so\.1$
/libAllocFixFixedAssets\.so\.1$'
        [liballocfix-dev]='/include/AllocFix/host/ObjectRegistry\.h$
/include/AllocFix/ObjectRegistry\.h$
/include/AllocFix/AllocFixVersion\.h$
/include/AllocFix/allocfix_export\.h$
/include/FixedAssets/fixedassets_export\.h$
/include/FixedAssets/accountset/AccountSet\.h$
/include/AllocFix/entry/ShowUpdate\.h$
/include/AllocFix/contracts/CardServices\.h$
/include/AllocFix/records/FieldRecord\.h$
/cmake/AllocFix/AllocFixConfig\.cmake$
/cmake/AllocFix/AllocFixConfigVersion\.cmake$
/cmake/AllocFix/AllocFixTargets\.cmake$
/pkgconfig/allocfix\.pc$
/pkgconfig/allocfix-fixedassets\.pc$
/libAllocFix\.so$'
        [allocfix]='^\./usr/bin/allocfix$
/share/man/man1/allocfix\.1\.gz$
/share/doc/allocfix/copyright$
/share/doc/allocfix/changelog\.gz$
/share/bash-completion/completions/allocfix$
/share/applications/org\.fixedassets\.AllocFix\.desktop$
/share/icons/hicolor/scalable/apps/org\.fixedassets\.AllocFix\.svg$
/share/metainfo/org\.fixedassets\.AllocFix\.metainfo\.xml$'
    )
    local name pattern contents
    for name in "${!expected[@]}"; do
        deb=$(find "$folder" -name "${name}_*.deb" | head -n 1)
        if [ -z "$deb" ]; then
            echo "packages: no $name package in $folder" >&2
            return 1
        fi
        contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
        while IFS= read -r pattern; do
            grep -qE "$pattern" <<<"$contents" || {
                echo "packages: $name lacks $pattern" >&2
                return 1
            }
        done <<<"${expected[$name]}"
    done
    # Installed into /usr, the libraries and the program find theirs in the system's folder.
    local root binary
    root=$(mktemp -d)
    for deb in "$folder"/*.deb; do
        dpkg -x "$deb" "$root"
    done
    for binary in "$root"/usr/bin/* "$root"/usr/lib/*/*.so.*; do
        if readelf -d "$binary" | grep -qE 'RPATH|RUNPATH'; then
            echo "packages: ${binary#"$root"} has a RUNPATH" >&2
            rm -rf "$root"
            return 1
        fi
    done
    rm -rf "$root"
    # The libraries' package carries their symbols file.
    dpkg-deb --info "$(find "$folder" -name 'liballocfix1_*.deb')" symbols >/dev/null || {
        echo "packages: liballocfix1 has no symbols file" >&2
        return 1
    }
    # Headers and the program belong to their own packages only.
    if dpkg-deb -c "$(find "$folder" -name 'liballocfix1_*.deb')" | grep -qE '\.h$|/bin/'; then
        echo "packages: liballocfix1 holds more than the libraries" >&2
        return 1
    fi
}

# Unpacks the three packages into a throwaway root and runs the program from there.
allocfix_run_packaged_program() {
    local folder=$1 root deb
    root=$(mktemp -d)
    trap 'rm -rf "$root"' RETURN
    for deb in "$folder"/*.deb; do
        dpkg -x "$deb" "$root"
    done
    local libs
    libs=$(dirname "$(find "$root" -name 'libAllocFix.so.1' | head -n 1)")
    LD_LIBRARY_PATH=$libs "$root/usr/bin/allocfix" --version | grep -q "^allocfix "
    LD_LIBRARY_PATH=$libs "$root/usr/bin/allocfix" demo 3 "$root/demo.fa" >/dev/null
}

# The desktop entry and the AppStream metainfo, as their validators read them.
allocfix_validate_desktop_files() {
    local build=$1
    desktop-file-validate fixedassets/app/data/org.fixedassets.AllocFix.desktop
    appstreamcli validate --no-net --explain \
        "$build/fixedassets/app/org.fixedassets.AllocFix.metainfo.xml" >/dev/null
}
