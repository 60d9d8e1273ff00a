# Debian packages, made by `cpack -G DEB` (scripts/package): the shared libraries, what a host
# compiles against, and the program with its data. Their dependencies on other packages come
# from dpkg-shlibdeps; only what the program loads at run time without linking it is named here.

set(CPACK_PACKAGE_NAME allocfix)
set(CPACK_PACKAGE_VENDOR "AllocFix developers")
set(CPACK_PACKAGE_CONTACT "AllocFix developers <allocfix@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "card data adjustment of fixed-asset account sets")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_COMPONENTS_ALL Runtime Development Program)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Where dpkg-shlibdeps reads our own libraries; the packages name each other through the
# component dependencies below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${PROJECT_BINARY_DIR}/src")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME liballocfix1)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "card data adjustment of fixed-asset account sets - shared libraries")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME liballocfix-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "card data adjustment of fixed-asset account sets - development files")

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME allocfix)
set(CPACK_COMPONENT_PROGRAM_DEPENDS Runtime)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION misc)
# Loaded by name at run time: Qt's database drivers and the Chinese forms' font. (The iconv
# converters the worksheet's import loads, GB18030 and UTF-16, are libc6's own; libzip is linked.)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, libqt6sql6-psql, fonts-noto-cjk")
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION
    "card data adjustment of fixed-asset account sets - the allocfix program")

include(CPack)
