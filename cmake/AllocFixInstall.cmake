# What `cmake --install` puts in place: the component's shared library, the headers a host
# compiles against, the CMake package (AllocFix::AllocFix, and AllocFix::FixedAssets when the
# fixed-asset host libraries are installed), allocfix.pc and allocfix-fixedassets.pc, and the
# allocfix program with its data. Everything is relative to the prefix, so that an installed tree
# can be moved.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ALLOCFIX_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/AllocFix")

# The headers a host needs: the registry and the ProgIDs, the contracts it implements, the
# records they exchange, and the entry class. Each compiles on its own from the installed tree.
set(ALLOCFIX_PUBLIC_HEADERS
    host/DesktopServices.h
    host/ErrorRecord.h
    host/ObjectRegistry.h
    host/ProgIds.h
    records/FieldRecord.h
    records/FieldValue.h
    records/RecordFields.h
    records/RecordList.h
    contracts/AccountServices.h
    contracts/CardServices.h
    contracts/ErrorReporter.h
    contracts/ItemService.h
    contracts/MemoryRecordSet.h
    contracts/RecordSet.h
    entry/ShowUpdate.h)

# The fixed-asset host's: the account set a host opens or creates (and what its declarations
# need), its errors, the demo data, the shared properties, and the registration of the services
# and dialogs.
set(ALLOCFIX_FIXEDASSETS_PUBLIC_HEADERS
    accountset/AccountSet.h
    accountset/AccountSetErrors.h
    accountset/AccountSetLocation.h
    accountset/DemoData.h
    accountset/SqlDialect.h
    accountset/SqlDriver.h
    desktop/SharedProperties.h
    dialogs/DialogRegistration.h
    services/HostServices.h)

# Installs the headers under include/<library>/ in their folders, as the tree includes them, and
# beside them one header per name that includes it, so that a host writes <AllocFix/ShowUpdate.h>.
# The tree's own code keeps including them by folder.
function(allocfix_install_headers library root)
    foreach(header IN LISTS ARGN)
        get_filename_component(folder "${header}" DIRECTORY)
        get_filename_component(name "${header}" NAME)
        install(FILES "${root}/${header}"
                DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/${library}/${folder}"
                COMPONENT Development)
        set(forwarding "${PROJECT_BINARY_DIR}/include/${library}/${name}")
        file(CONFIGURE OUTPUT "${forwarding}" CONTENT "#pragma once\n#include \"${header}\"\n")
        install(FILES "${forwarding}" DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/${library}"
                COMPONENT Development)
    endforeach()
endfunction()

string(REGEX MATCH "^[0-9]+\\.([0-9]+)(\\.([0-9]+))?" version "${PROJECT_VERSION}")
set(ALLOCFIX_VERSION_MINOR ${CMAKE_MATCH_1})
set(ALLOCFIX_VERSION_PATCH 0)
if(CMAKE_MATCH_3)
    set(ALLOCFIX_VERSION_PATCH ${CMAKE_MATCH_3})
endif()
configure_file(cmake/AllocFixVersion.h.in "${PROJECT_BINARY_DIR}/include/AllocFix/AllocFixVersion.h"
               @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/include/AllocFix/AllocFixVersion.h"
        DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/AllocFix" COMPONENT Development)

allocfix_install_headers(AllocFix "${PROJECT_SOURCE_DIR}/src" ${ALLOCFIX_PUBLIC_HEADERS})
# The export macro of each library, which the headers include by name alone: the folder it lies
# in is on a host's include path (<AllocFix/allocfix_export.h> names it too).
install(FILES "${ALLOCFIX_EXPORT_HEADER_DIR}/allocfix_export.h"
        DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/AllocFix" COMPONENT Development)
set_target_properties(AllocFix PROPERTIES EXPORT_NAME AllocFix)
install(TARGETS AllocFix EXPORT AllocFixTargets
    LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT Runtime NAMELINK_COMPONENT Development
    INCLUDES DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}" "${CMAKE_INSTALL_INCLUDEDIR}/AllocFix")
install(EXPORT AllocFixTargets NAMESPACE AllocFix:: DESTINATION "${ALLOCFIX_CMAKE_DIR}"
        COMPONENT Development)
set(installed_libraries "$<TARGET_FILE_NAME:AllocFix>")

if(TARGET AllocFixFixedAssets)
    allocfix_install_headers(FixedAssets "${PROJECT_SOURCE_DIR}/fixedassets"
                             ${ALLOCFIX_FIXEDASSETS_PUBLIC_HEADERS})
    install(FILES "${ALLOCFIX_EXPORT_HEADER_DIR}/fixedassets_export.h"
            DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/FixedAssets" COMPONENT Development)
    install(TARGETS AllocFixFixedAssets EXPORT AllocFixFixedAssetsTargets
        LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT Runtime
                NAMELINK_COMPONENT Development
        INCLUDES DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/FixedAssets")
    install(EXPORT AllocFixFixedAssetsTargets NAMESPACE AllocFix::
            DESTINATION "${ALLOCFIX_CMAKE_DIR}" COMPONENT Development)
    list(APPEND installed_libraries "$<TARGET_FILE_NAME:AllocFixFixedAssets>")
endif()

# A tree installed anywhere finds our libraries beside itself through its RUNPATH; a distribution's
# tree (/usr) finds them in the system's folder, where a RUNPATH is not wanted.
install(CODE "
    if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
        foreach(library IN ITEMS ${installed_libraries})
            file(RPATH_REMOVE FILE
                 \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/\${library}\")
        endforeach()
    endif()" COMPONENT Runtime)

configure_package_config_file(cmake/AllocFixConfig.cmake.in
    "${PROJECT_BINARY_DIR}/AllocFixConfig.cmake" INSTALL_DESTINATION "${ALLOCFIX_CMAKE_DIR}")
write_basic_package_version_file("${PROJECT_BINARY_DIR}/AllocFixConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/AllocFixConfig.cmake"
              "${PROJECT_BINARY_DIR}/AllocFixConfigVersion.cmake"
        DESTINATION "${ALLOCFIX_CMAKE_DIR}" COMPONENT Development)

# pkg-config finds the prefix from where the file lies.
file(RELATIVE_PATH ALLOCFIX_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" ALLOCFIX_PC_TO_PREFIX "${ALLOCFIX_PC_TO_PREFIX}")
configure_file(cmake/allocfix.pc.in "${PROJECT_BINARY_DIR}/allocfix.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/allocfix.pc"
        DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig" COMPONENT Development)
if(TARGET AllocFixFixedAssets)
    configure_file(cmake/fixedassets.pc.in "${PROJECT_BINARY_DIR}/allocfix-fixedassets.pc" @ONLY)
    install(FILES "${PROJECT_BINARY_DIR}/allocfix-fixedassets.pc"
            DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig" COMPONENT Development)
endif()
