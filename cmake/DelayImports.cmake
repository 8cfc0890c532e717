# xcyh2_delay_imports(TARGET DLL...): TARGET loads each listed system DLL on the first call into
# it instead of at process start. For every DLL a delay-import library named like the system's
# import library (libshell32.a for shell32) is written into a folder that TARGET searches first,
# so every -lshell32 of the target's link line resolves to it; nothing in the sources changes.
# MinGW's dlltool makes the library from the export list of the system import library; the
# loader helper (__delayLoadHelper2) comes with MinGW's runtime.
function(xcyh2_delay_imports target)
  set(dir ${CMAKE_BINARY_DIR}/delayimp)
  file(MAKE_DIRECTORY ${dir})
  # A DLL taken off the list loads at start again: its old library must not shadow the system's.
  file(GLOB made ${dir}/lib*.a)
  foreach(lib ${made})
    get_filename_component(name ${lib} NAME_WE)
    string(REGEX REPLACE "^lib" "" name ${name})
    if(NOT name IN_LIST ARGN)
      file(REMOVE ${lib} ${dir}/${name}.def)
    endif()
  endforeach()
  # The list itself, rewritten only when it changes, relinks the target when it does.
  set(stamp ${dir}/${target}.list)
  set(old "")
  if(EXISTS ${stamp})
    file(READ ${stamp} old)
  endif()
  if(NOT old STREQUAL "${ARGN}")
    file(WRITE ${stamp} "${ARGN}")
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${stamp})
  get_filename_component(mingw_lib ${CMAKE_CXX_COMPILER} DIRECTORY)
  foreach(dll ${ARGN})
    find_library(system_lib_${dll} NAMES lib${dll}.a PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH)
    set(system_lib ${system_lib_${dll}})
    if(NOT system_lib)
      message(FATAL_ERROR "no import library for ${dll}")
    endif()
    set(out ${dir}/lib${dll}.a)
    if(NOT EXISTS ${out} OR ${system_lib} IS_NEWER_THAN ${out})
      execute_process(COMMAND ${CMAKE_NM} --defined-only ${system_lib} OUTPUT_VARIABLE symbols
                      RESULT_VARIABLE rc ERROR_QUIET)
      if(NOT rc EQUAL 0)
        message(FATAL_ERROR "cannot list ${system_lib}")
      endif()
      # 32-bit names carry a leading underscore and their argument bytes (@N), which the def
      # file keeps and -k drops from the names looked up in the DLL.
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        string(REGEX MATCHALL " I __imp__[A-Za-z0-9_@?$]+" imports "${symbols}")
        set(strip " I __imp__")
      else()
        string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
        set(strip " I __imp_")
      endif()
      list(REMOVE_DUPLICATES imports)
      set(def "LIBRARY ${dll}.dll\nEXPORTS\n")
      foreach(import ${imports})
        string(REPLACE "${strip}" "" name "${import}")
        string(APPEND def "  ${name}\n")
      endforeach()
      file(WRITE ${dir}/${dll}.def "${def}")
      execute_process(COMMAND ${CMAKE_DLLTOOL} -k --dllname ${dll}.dll --def ${dir}/${dll}.def
                              --output-delaylib ${out}
                      RESULT_VARIABLE rc)
      if(NOT rc EQUAL 0)
        message(FATAL_ERROR "dlltool could not make the delay-import library for ${dll}")
      endif()
    endif()
    # A library made anew relinks the target.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${out})
  endforeach()
  target_link_directories(${target} BEFORE PRIVATE ${dir})
endfunction()
