# What `cmake --install` puts in place: the component's shared library, the headers a host
# compiles against, the CMake package (AllocFix::AllocFix, and AllocFix::FixedAssets when the
# fixed-asset host libraries are installed), allocfix.pc, and the allocfix program with its data.
# Everything is relative to the prefix, so that an installed tree can be moved.

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

function(allocfix_install_headers root)
    foreach(header IN LISTS ARGN)
        get_filename_component(folder "${header}" DIRECTORY)
        install(FILES "${root}/${header}"
                DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/AllocFix/${folder}"
                COMPONENT Development)
    endforeach()
endfunction()

allocfix_install_headers("${PROJECT_SOURCE_DIR}/src" ${ALLOCFIX_PUBLIC_HEADERS})
set_target_properties(AllocFix PROPERTIES EXPORT_NAME AllocFix)
install(TARGETS AllocFix EXPORT AllocFixTargets
    LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT Runtime NAMELINK_COMPONENT Development
    INCLUDES DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/AllocFix")
install(EXPORT AllocFixTargets NAMESPACE AllocFix:: DESTINATION "${ALLOCFIX_CMAKE_DIR}"
        COMPONENT Development)

if(TARGET AllocFixFixedAssets)
    foreach(folder accountset desktop services dialogs)
        file(GLOB headers RELATIVE "${PROJECT_SOURCE_DIR}/fixedassets"
             "${PROJECT_SOURCE_DIR}/fixedassets/${folder}/*.h")
        allocfix_install_headers("${PROJECT_SOURCE_DIR}/fixedassets" ${headers})
    endforeach()
    install(TARGETS AllocFixFixedAssets EXPORT AllocFixFixedAssetsTargets
        LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT Runtime
                NAMELINK_COMPONENT Development)
    install(EXPORT AllocFixFixedAssetsTargets NAMESPACE AllocFix::
            DESTINATION "${ALLOCFIX_CMAKE_DIR}" COMPONENT Development)
endif()

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
