# Debian packages, made by `cpack -G DEB` (scripts/package): the shared libraries, what a host
# compiles against, and the program with its data, each stripped, with its debug symbols in a
# -dbgsym package beside it. Their dependencies on libraries come from dpkg-shlibdeps; only what
# is loaded at run time without being linked is named here.

set(ALLOCFIX_MAINTAINER "AllocFix developers <allocfix@fixedassets.org>")
set(CPACK_PACKAGE_NAME allocfix)
set(CPACK_PACKAGE_VENDOR "AllocFix developers")
set(CPACK_PACKAGE_CONTACT "${ALLOCFIX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ALLOCFIX_MAINTAINER}")
# Each package's description (below) starts with its own synopsis; a summary of the whole would be
# put before each of them.
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_COMPONENTS_ALL Runtime Development Program)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
# Where dpkg-shlibdeps reads our own libraries; the packages name each other through the
# component dependencies below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${PROJECT_BINARY_DIR}/src")
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

# The runtime package's shlibs accept any later version of it; its symbols file,
# packaging/debian/symbols, lists what each library exports and which version brought it. The
# build writes what its libraries do export into debian/symbols, which scripts/package and
# scripts/check compare with that list (allocfix_check_symbols). ldconfig runs through dpkg's
# trigger, not from maintainer scripts.
set(ALLOCFIX_DEBIAN_SYMBOLS "${PROJECT_BINARY_DIR}/debian/symbols")
add_custom_command(
    OUTPUT "${ALLOCFIX_DEBIAN_SYMBOLS}"
    COMMAND "${CMAKE_COMMAND}" -DOUTPUT=${ALLOCFIX_DEBIAN_SYMBOLS} -DPACKAGE=liballocfix1
            -DDEV_PACKAGE=liballocfix-dev -DVERSION=${PROJECT_VERSION}
            "-DLIBRARIES=$<TARGET_SONAME_FILE_NAME:AllocFix>;$<TARGET_FILE:AllocFix>$<$<TARGET_EXISTS:AllocFixFixedAssets>:;$<TARGET_SONAME_FILE_NAME:AllocFixFixedAssets>;$<TARGET_FILE:AllocFixFixedAssets>>"
            -P "${PROJECT_SOURCE_DIR}/cmake/DebianSymbols.cmake"
    DEPENDS AllocFix "$<$<TARGET_EXISTS:AllocFixFixedAssets>:AllocFixFixedAssets>"
            "${PROJECT_SOURCE_DIR}/cmake/DebianSymbols.cmake"
    COMMENT "Writing the Debian symbols file of liballocfix1"
    VERBATIM)
add_custom_target(allocfix_debian_symbols ALL DEPENDS "${ALLOCFIX_DEBIAN_SYMBOLS}")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME liballocfix1)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
    "${PROJECT_SOURCE_DIR}/packaging/debian/symbols" "${PROJECT_SOURCE_DIR}/packaging/debian/triggers")
# The account set opens its databases through Qt's SQL drivers, loaded by name: a host that
# installs only the libraries still opens an SQLite set, and a PostgreSQL one with the driver.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "libqt6sql6-psql")
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
    "fixed-asset card data adjustment - shared libraries
AllocFix adjusts the expense allocation of fixed-asset cards that several
departments share: each department's depreciation is split into expense rows,
each with an expense account, its accounting items and a share.
.
This package holds the shared libraries: libAllocFix, the component with its
three-page adjustment wizard, and libAllocFixFixedAssets, the account set
(SQLite or PostgreSQL) and the card, item and account services around it.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME liballocfix-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
    "fixed-asset card data adjustment - development files
AllocFix adjusts the expense allocation of fixed-asset cards that several
departments share: each department's depreciation is split into expense rows,
each with an expense account, its accounting items and a share.
.
This package holds what a host program compiles and links against: the
headers, reached as <AllocFix/...> and <FixedAssets/...>, the CMake package
(find_package(AllocFix)), the pkg-config files and the library links.")

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME allocfix)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION misc)
# Loaded by name at run time: Qt's database drivers and the Chinese forms' font, which the forms
# ask for by name but which fontconfig replaces by any other installed font that covers Chinese.
# (The iconv converters the worksheet's import loads, GB18030 and UTF-16, are libc6's own.)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "libqt6sql6-psql, fonts-noto-cjk")
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION
    "fixed-asset card data adjustment - program
AllocFix adjusts the expense allocation of fixed-asset cards that several
departments share: each department's depreciation is split into expense rows,
each with an expense account, its accounting items and a share.
.
The allocfix program runs the adjustment wizard on an account set, in Chinese
or English, and offers the administrator's subcommands without a display:
check, adjust, audit, the worksheet's export and import, and a demo set.")

# Each package carries the licence and the changelog in its documentation folder.
foreach(component_package IN ITEMS Runtime:liballocfix1 Development:liballocfix-dev
                                   Program:allocfix)
    string(REPLACE ":" ";" component_package "${component_package}")
    list(GET component_package 0 component)
    list(GET component_package 1 package)
    install(FILES "${PROJECT_SOURCE_DIR}/packaging/debian/copyright"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${package}" COMPONENT ${component})
    allocfix_install_gzipped("${PROJECT_SOURCE_DIR}/packaging/debian/changelog"
                             "${CMAKE_INSTALL_DATADIR}/doc/${package}" ${component})
endforeach()

include(CPack)
