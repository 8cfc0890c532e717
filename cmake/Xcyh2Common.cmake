# Flags and helpers shared by every target of both builds.

if(WIN32)
  enable_language(RC)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type -Wno-missing-field-initializers)
  add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
  # Release is what players download: small code, and every function or datum nobody calls or
  # reads (much of the static C++ runtime) is left out at the link.
  set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG")
  set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
  add_compile_options($<$<CONFIG:Release>:-ffunction-sections> $<$<CONFIG:Release>:-fdata-sections>)
  add_link_options($<$<CONFIG:Release>:-Wl,--gc-sections>)
  # The quiet handler for uncaught exceptions (src/base/TerminateHandler.cpp) instead of the
  # runtime's, which brings its demangler. 32-bit symbols carry a leading underscore.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_link_options(-Wl,-u,__ZN9__gnu_cxx27__verbose_terminate_handlerEv)
  else()
    add_link_options(-Wl,-u,_ZN9__gnu_cxx27__verbose_terminate_handlerEv)
  endif()
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  # Windows tests run under Wine; the wrapper prepares one prefix per build folder.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${XCYH2_ROOT}/tools/wine-run ${CMAKE_BINARY_DIR}/wineprefix --)
else()
  option(XCYH2_SANITIZE "Build native code with AddressSanitizer and UBSan" ON)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
  if(XCYH2_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

configure_file(${XCYH2_ROOT}/src/base/BuildHosts.h.in ${CMAKE_BINARY_DIR}/generated/BuildHosts.h @ONLY)
configure_file(${XCYH2_ROOT}/src/base/BuildVersion.h.in ${CMAKE_BINARY_DIR}/generated/BuildVersion.h @ONLY)
configure_file(${XCYH2_ROOT}/src/base/BuildProduct.h.in ${CMAKE_BINARY_DIR}/generated/BuildProduct.h @ONLY)
include(PublisherKey)

# xcyh2_library(NAME SOURCES... [LIBS ...]): a static library whose headers are found from src/.
function(xcyh2_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${XCYH2_ROOT}/src ${CMAKE_BINARY_DIR})
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
endfunction()

# xcyh2_test(NAME SOURCES... [LIBS ...] [LABELS ...]): one GoogleTest executable, one CTest test.
# In the cross build CTest runs it under Wine through the emulator set above.
function(xcyh2_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${XCYH2_ROOT}/src ${XCYH2_ROOT}/tests ${CMAKE_BINARY_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS} xcyh2_gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT})
  if(A_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${A_LABELS}")
  endif()
endfunction()

# Adds every listed subfolder that has a CMakeLists.txt, so subsystems land independently.
macro(xcyh2_add_present_subdirs)
  foreach(sub ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/CMakeLists.txt)
      add_subdirectory(${sub})
    endif()
  endforeach()
endmacro()

# xcyh2_fuzz_target(NAME SOURCES ... LIBS ... [CORPUS dir]): a libFuzzer target for a parser of
# outside input. With -DXCYH2_FUZZ=ON (native build with clang) it is a real fuzzer:
#   build-fuzz/fuzz/NAME -max_total_time=60 CORPUS_DIR
# Otherwise it is linked with a small driver that replays the corpus, registered as a test,
# so the target always compiles and its seed inputs keep passing.
option(XCYH2_FUZZ "Build the fuzz targets with libFuzzer (native build with clang)" OFF)
if(XCYH2_FUZZ AND NOT WIN32)
  # The fuzzer steers by the coverage it sees: instrument every library, not just the targets.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
function(xcyh2_fuzz_target name)
  cmake_parse_arguments(A "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(WIN32)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${XCYH2_ROOT}/src ${XCYH2_ROOT}/tests ${CMAKE_BINARY_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  if(XCYH2_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${XCYH2_ROOT}/tests/support/FuzzReplay.cpp)
    if(A_CORPUS)
      add_test(NAME ${name}_corpus COMMAND ${name} ${A_CORPUS})
    endif()
  endif()
endfunction()
