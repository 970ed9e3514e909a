# Delay-import libraries for the DLLs an elevated program must not load before
# it has restricted the DLL search: its static imports then name only the
# system's known DLLs, and the rest is loaded on first use, from System32
# (common/win32/SystemLibrary.cpp holds the loader's hook). dlltool makes each
# from the names the toolchain's own import library exports.
get_filename_component(toolchain_bin ${CMAKE_C_COMPILER} DIRECTORY)
string(REGEX REPLACE "-gcc(-posix|-win32)?$" "" toolchain_triplet "${CMAKE_C_COMPILER}")
get_filename_component(toolchain_triplet ${toolchain_triplet} NAME)
find_program(MINGW_DLLTOOL NAMES ${toolchain_triplet}-dlltool REQUIRED)
find_program(MINGW_NM NAMES ${toolchain_triplet}-nm REQUIRED)

# orvane_delay_import(OUT_VAR name dll): OUT_VAR names the delay library of
# lib<name>.a, for dll.
function(orvane_delay_import out name dll)
  find_library(import_${name} NAMES lib${name}.a REQUIRED)
  set(dir ${CMAKE_BINARY_DIR}/delay-imports)
  set(lib ${dir}/lib${name}_delay.a)
  if(NOT EXISTS ${lib} OR ${import_${name}} IS_NEWER_THAN ${lib})
    file(MAKE_DIRECTORY ${dir})
    execute_process(COMMAND ${MINGW_NM} ${import_${name}} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "cannot read ${import_${name}}")
    endif()
    # "__imp_" and, where C names carry a leading underscore (32-bit), one more.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(prefix "__imp__")
    else()
      set(prefix "__imp_")
    endif()
    string(REGEX MATCHALL " I ${prefix}[^\n]+" entries "${symbols}")
    list(TRANSFORM entries REPLACE " I ${prefix}" "")
    list(REMOVE_DUPLICATES entries)
    list(SORT entries)
    list(JOIN entries "\n" body)
    file(WRITE ${dir}/${name}.def "LIBRARY ${dll}\nEXPORTS\n${body}\n")
    # Run in its folder with plain names: dlltool makes symbol names of the
    # output's path, and the program must not depend on where it was built.
    execute_process(COMMAND ${MINGW_DLLTOOL} -k -d ${name}.def -D ${dll} -y lib${name}_delay.a -t ${name}_delay
                    WORKING_DIRECTORY ${dir} RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "dlltool cannot make the delay-import library of ${dll}")
    endif()
  endif()
  set(${out} ${lib} PARENT_SCOPE)
endfunction()

# orvane_set_load_config(target): GNU ld before 2.41 does not point the
# load-configuration directory at _load_config_used; after the link this
# sets it from the symbol's address and the record's own Size field.
find_package(Python3 COMPONENTS Interpreter REQUIRED)
function(orvane_set_load_config target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/set-load-config.py ${MINGW_NM} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
