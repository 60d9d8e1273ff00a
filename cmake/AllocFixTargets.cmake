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
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC ${ARG_QT})
    allocfix_target_defaults(${name})
endfunction()
