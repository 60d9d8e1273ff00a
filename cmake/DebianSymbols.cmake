# Writes the Debian symbols file of the runtime package: for each shared library (LIBRARIES holds
# pairs of SONAME and built file) every symbol it exports, each since VERSION, in the form
# dpkg-gensymbols reads. Run by `cmake -P` once the libraries are built.
#   cmake -DOUTPUT=symbols -DPACKAGE=liballocfix1 -DDEV_PACKAGE=liballocfix-dev -DVERSION=1.0
#         "-DLIBRARIES=libAllocFix.so.1;/path/libAllocFix.so.1.0" -P DebianSymbols.cmake

find_program(NM nm REQUIRED)
set(text "")
list(LENGTH LIBRARIES count)
math(EXPR last "${count} - 1")
foreach(index RANGE 0 ${last} 2)
    math(EXPR file_index "${index} + 1")
    list(GET LIBRARIES ${index} soname)
    list(GET LIBRARIES ${file_index} file)
    execute_process(COMMAND "${NM}" -D --defined-only "${file}"
                    OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
    string(APPEND text "${soname} ${PACKAGE} #MINVER#\n* Build-Depends-Package: ${DEV_PACKAGE}\n")
    string(REPLACE "\n" ";" lines "${listing}")
    set(names "")
    foreach(line IN LISTS lines)
        # "<address> <type> <name>"; the linker's own markers are no part of the interface.
        if(line MATCHES "^[0-9a-f]+ [A-Za-z] ([^ ]+)$")
            set(name "${CMAKE_MATCH_1}")
            if(NOT name MATCHES "^(_init|_fini|_edata|_end|__bss_start)$")
                list(APPEND names "${name}")
            endif()
        endif()
    endforeach()
    list(SORT names)
    foreach(name IN LISTS names)
        string(APPEND text " ${name}@Base ${VERSION}\n")
    endforeach()
endforeach()
file(WRITE "${OUTPUT}" "${text}")
