# Installs a built or source file gzip-compressed (best compression, no name or time stamp, so
# that the same file gives the same bytes), as manual pages and changelogs are shipped.
find_program(ALLOCFIX_GZIP gzip REQUIRED)

function(allocfix_install_gzipped file destination component)
    get_filename_component(name "${file}" NAME)
    set(gzipped "${CMAKE_CURRENT_BINARY_DIR}/gzipped/${destination}/${name}.gz")
    get_filename_component(folder "${gzipped}" DIRECTORY)
    add_custom_command(
        OUTPUT "${gzipped}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${folder}"
        COMMAND "${ALLOCFIX_GZIP}" -9 -n -c "${file}" > "${gzipped}"
        DEPENDS "${file}"
        VERBATIM)
    string(MAKE_C_IDENTIFIER "gzip_${destination}_${name}" target)
    add_custom_target(${target} ALL DEPENDS "${gzipped}")
    install(FILES "${gzipped}" DESTINATION "${destination}" COMPONENT ${component})
endfunction()
