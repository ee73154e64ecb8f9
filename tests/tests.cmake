# The tests, in the order that finds a fault soonest, each run once: GoogleTest
# programs cross-built and run under Wine, the release, the desktop run heard, the fuzzing.
enable_testing()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-exec)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Windows paths for Linux ones, through Wine's drive Z:.
foreach(name scratch quillet.exe)
  string(REPLACE "/" "\\" windows_${name} "Z:${CMAKE_BINARY_DIR}/${name}")
endforeach()
string(REPLACE "/" "\\" windows_images "Z:${CMAKE_SOURCE_DIR}/resources/images")

function(test_program name)
  add_executable(${name} ${ARGN} tests/common/harness.cpp)
  target_compile_options(${name} PRIVATE ${QUILLET_FLAGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE gtest gtest_main quillet_core ${QUILLET_LIBS})
  target_link_options(${name} PRIVATE -static)
endfunction()

# The program's code in this process, with its resources, on a stand-in of
# the sound library's system.
test_program(unit_tests tests/unit/standin.cpp tests/unit/sound_test.cpp tests/unit/chime_test.cpp
  resources/quillet.rc)
add_test(NAME unit COMMAND unit_tests)

# The release: the program as built, and the zip packed from it, as the same commit always gives them.
add_test(NAME release COMMAND ${CMAKE_SOURCE_DIR}/tests/release/release-test $<TARGET_FILE:quillet>
  ${CMAKE_BINARY_DIR}/release)

# The real program, and the stand-in Resource Meter that its Windows 98 copy loads.
add_library(rsrc32 SHARED tests/support/rsrc32.cpp tests/support/rsrc32-${CMAKE_SYSTEM_PROCESSOR}.def)
set_target_properties(rsrc32 PROPERTIES PREFIX "" SUFFIX ".DLL" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/rsrc32)
target_link_options(rsrc32 PRIVATE -static)
test_program(e2e_tests tests/e2e/program.cpp tests/e2e/chime_test.cpp)
add_dependencies(e2e_tests quillet rsrc32)
add_test(NAME e2e COMMAND e2e_tests)

# ./quillet run --desktop on a private X screen of its own, heard in the null sink.
add_test(NAME desktop COMMAND ${CMAKE_SOURCE_DIR}/tests/desktop/desktop-test ${CMAKE_BINARY_DIR}/desktop)
set_tests_properties(e2e desktop PROPERTIES RUN_SERIAL ON)
set_tests_properties(unit e2e PROPERTIES
  ENVIRONMENT "QUILLET_EXE=${windows_quillet.exe};QUILLET_IMAGES=${windows_images};QUILLET_SCRATCH=${windows_scratch}")

# The WAVE readers fuzzed natively for a bounded time.
add_test(NAME fuzz COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz-wave)
set_tests_properties(fuzz PROPERTIES TIMEOUT 300)
