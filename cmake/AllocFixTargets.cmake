# Compile settings shared by every target of ours: warnings as errors, the Qt defines we rely
# on, and the optional sanitizers.

if(ALLOCFIX_SANITIZE)
    foreach(sanitizer IN LISTS ALLOCFIX_SANITIZE)
        if(NOT sanitizer MATCHES "^(address|undefined|leak)$")
            message(FATAL_ERROR "ALLOCFIX_SANITIZE: unsupported sanitizer '${sanitizer}'")
        endif()
    endforeach()
    list(JOIN ALLOCFIX_SANITIZE "," sanitizers)
    add_compile_options(-fsanitize=${sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${sanitizers})
endif()

# The fuzzing build: every target instrumented for libFuzzer's coverage, with the address and
# undefined-behaviour sanitizers turning any fault into a crash the fuzzer keeps.
if(ALLOCFIX_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "ALLOCFIX_FUZZ needs clang (CXX=clang++-14)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

function(allocfix_target_defaults target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual -Werror)
    target_compile_definitions(${target} PRIVATE
        QT_NO_CAST_FROM_ASCII
        QT_NO_KEYWORDS
        QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
        QT_NO_CAST_TO_ASCII
        QT_USE_QSTRINGBUILDER)
endfunction()

# Where the export headers are written: allocfix_export.h and fixedassets_export.h, installed as
# <AllocFix/allocfix_export.h> and <FixedAssets/fixedassets_export.h>.
set(ALLOCFIX_EXPORT_HEADER_DIR "${PROJECT_BINARY_DIR}/export")

# Objects that go into one of our shared libraries: position independent, and with every symbol
# hidden but the ones its export macro marks, so that the library's interface is what the
# installed headers declare. The same objects also make the static libraries the tree's own
# programs and tests link.
function(allocfix_library_objects target define_symbol)
    set_target_properties(${target} PROPERTIES
        POSITION_INDEPENDENT_CODE ON
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    target_compile_definitions(${target} PRIVATE ${define_symbol})
    target_include_directories(${target} PUBLIC "$<BUILD_INTERFACE:${ALLOCFIX_EXPORT_HEADER_DIR}>")
endfunction()

# The link of one of our shared libraries, whose objects are allocfix_library_objects. It exports
# what the export macros mark and, of that, only the names of its own namespace: the compiler also
# gives Qt's and the standard library's inline functions it did not inline default visibility,
# and those are no part of our interface. --no-undefined makes a function the library needs but
# its sibling does not export a link error rather than a host's failure at run time; sanitized
# builds leave it out, since their runtime comes with the program.
function(allocfix_shared_library target namespace)
    set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}.map")
    set(names "")
    foreach(prefix IN ITEMS "" "typeinfo?for?" "typeinfo?name?for?" "vtable?for?"
                            "guard?variable?for?" "non-virtual?thunk?to?" "virtual?thunk?to?")
        string(APPEND names "            ${prefix}${namespace}::*;\n")
    endforeach()
    file(CONFIGURE OUTPUT "${script}" CONTENT "{\n    global:\n        extern \"C++\" {\n${names}        };\n    local: *;\n};\n")
    target_link_options(${target} PRIVATE "LINKER:--version-script=${script}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${script}")
    if(NOT ALLOCFIX_SANITIZE AND NOT ALLOCFIX_FUZZ)
        target_link_options(${target} PRIVATE LINKER:--no-undefined)
    endif()
endfunction()

# One object library per subsystem; the shared library AllocFix is made of all of them. QT names
# the Qt modules the subsystem may use (Core, Gui, Widgets): a folder that lists no Widgets cannot
# include a widget header, because the compiler does not find it.
function(allocfix_subsystem name)
    cmake_parse_arguments(ARG "" "" "SOURCES;QT" ${ARGN})
    if(NOT ARG_QT)
        message(FATAL_ERROR "allocfix_subsystem(${name}): QT names the Qt modules it uses")
    endif()
    list(TRANSFORM ARG_QT PREPEND Qt6::)
    add_library(${name} OBJECT ${ARG_SOURCES})
    allocfix_library_objects(${name} AllocFix_EXPORTS)
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC ${ARG_QT})
    allocfix_target_defaults(${name})
endfunction()
