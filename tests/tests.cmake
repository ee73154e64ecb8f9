# Unit and end-to-end tests: GoogleTest built with the cross compiler, every
# test program run once under Wine through tools/wine-exec.
enable_testing()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-exec)

set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# A Windows path for a Linux one, through Wine's drive Z:.
function(windows_path out path)
  string(REPLACE "/" "\\" p "${path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()

function(quillet_test name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE ${QUILLET_FLAGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE gtest gtest_main ${QUILLET_LIBS} version)
  target_link_options(${name} PRIVATE -static)
endfunction()

windows_path(product_win "${PRODUCT_EXE}")

quillet_test(unit_tests
  tests/unit/meter_test.cpp
  tests/unit/painting_test.cpp
  tests/unit/random_test.cpp
  tests/unit/region_test.cpp
  tests/unit/settings_test.cpp
  tests/unit/wave_test.cpp
  tests/common/files.cpp
  tests/common/pe_resources.cpp
  tests/common/win_helpers.cpp
)
target_link_libraries(unit_tests PRIVATE quillet_core)
add_test(NAME unit COMMAND unit_tests)
set_tests_properties(unit PROPERTIES ENVIRONMENT "QUILLET_EXE=${product_win}")

# The wind with stand-ins for the meter, the window and the sound.
quillet_test(wind_tests tests/unit/wind_test.cpp wind/swing.cpp wind/random.cpp app/app.cpp
  settings/settings_file.cpp sound/chime_table.cpp)
add_test(NAME wind COMMAND wind_tests)

# The menu where DirectSound cannot start.
quillet_test(menu_tests tests/unit/menu_test.cpp tests/common/files.cpp tests/common/pe_resources.cpp)
target_link_libraries(menu_tests PRIVATE quillet_core)
add_test(NAME menu COMMAND menu_tests)
set_tests_properties(menu PROPERTIES ENVIRONMENT "QUILLET_EXE=${product_win};WINEDLLOVERRIDES=mscoree,mshtml,dsound=")

# The meter on Windows 98 (set for this program's name in the Wine prefix),
# each case in a process of its own, beside stand-ins of the meter library.
add_library(rsrc32_meter SHARED tests/support/rsrc32.cpp tests/support/rsrc32-${CMAKE_SYSTEM_PROCESSOR}.def)
target_compile_definitions(rsrc32_meter PRIVATE WITH_METER_ENTRY)
add_library(rsrc32_noentry SHARED tests/support/rsrc32.cpp)
foreach(variant meter noentry)
  set_target_properties(rsrc32_${variant} PROPERTIES PREFIX "")
  target_link_options(rsrc32_${variant} PRIVATE -static)
endforeach()
quillet_test(meter9x_tests tests/unit/meter9x_test.cpp tests/common/pe_resources.cpp tests/common/win_helpers.cpp)
target_link_libraries(meter9x_tests PRIVATE quillet_core)
add_dependencies(meter9x_tests rsrc32_meter rsrc32_noentry)
foreach(case WithoutTheLibraryTellsOnceAndShowsUnknown ReadsTheUsedShareOfTheSystemResources
             WithoutTheEntryPointTellsAndKeepsTheLibrary)
  add_test(NAME meter9x.${case} COMMAND meter9x_tests --gtest_filter=Win9xMeter.${case})
  set_tests_properties(meter9x.${case} PROPERTIES ENVIRONMENT "QUILLET_EXE=${product_win}")
endforeach()
quillet_test(resource_tests tests/unit/resource_test.cpp tests/common/pe_resources.cpp)
add_test(NAME resources COMMAND resource_tests)
set_tests_properties(resources PROPERTIES ENVIRONMENT "QUILLET_EXE=${product_win}")

# The end-to-end driver starts the quillet.exe of this tree in fresh folders.
windows_path(quillet_win "${CMAKE_BINARY_DIR}/quillet.exe")
windows_path(scratch_win "${CMAKE_BINARY_DIR}/e2e")
# Beside it: the probe, which a window hook loads into the running program,
# and the stand-in that the shell starts for pages and links.
add_library(probe SHARED tests/support/probe.cpp)
target_include_directories(probe PRIVATE ${CMAKE_SOURCE_DIR})
# The hook is looked up by its plain name on both architectures.
target_link_options(probe PRIVATE -Wl,--kill-at)
add_executable(opener WIN32 tests/support/opener.cpp)
target_link_options(opener PRIVATE -municode)
foreach(helper probe opener)
  target_compile_options(${helper} PRIVATE ${QUILLET_FLAGS})
  set_target_properties(${helper} PROPERTIES PREFIX "")
  target_link_options(${helper} PRIVATE -static)
endforeach()
quillet_test(e2e_tests tests/e2e/startup_test.cpp tests/e2e/settings_test.cpp tests/e2e/win98_test.cpp
  tests/e2e/window_test.cpp tests/e2e/drag_test.cpp tests/e2e/swing_test.cpp tests/e2e/commands_test.cpp
  tests/e2e/about_test.cpp tests/e2e/help_test.cpp tests/e2e/recorded_test.cpp tests/e2e/release_test.cpp tests/e2e/driver.cpp tests/e2e/inspect.cpp
  tests/common/files.cpp tests/common/pe_resources.cpp tests/common/win_helpers.cpp)
target_link_libraries(e2e_tests PRIVATE psapi)
add_dependencies(e2e_tests quillet probe opener rsrc32_meter)
add_test(NAME e2e COMMAND e2e_tests --gtest_filter=-WithoutDirectSound.*:Recorded.*:Release.*)
# The program where dsound.dll cannot be loaded.
add_test(NAME e2e.without-dsound COMMAND e2e_tests --gtest_filter=WithoutDirectSound.*)
set_tests_properties(e2e e2e.without-dsound PROPERTIES
  ENVIRONMENT "QUILLET_EXE=${quillet_win};QUILLET_SCRATCH=${scratch_win}" RUN_SERIAL ON)
set_property(TEST e2e.without-dsound APPEND PROPERTY ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml,dsound=")
# Fan strokes heard, or not, in the recording of the null sink.
add_test(NAME e2e.fan-heard COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/fan-heard ${CMAKE_BINARY_DIR}/e2e_tests.exe
  ${CMAKE_BINARY_DIR}/fan-heard)
set_tests_properties(e2e.fan-heard PROPERTIES
  ENVIRONMENT "QUILLET_EXE=${quillet_win};QUILLET_SCRATCH=${scratch_win}" RUN_SERIAL ON TIMEOUT 120)
# The release zip, packed from this tree's program, unpacked and run.
add_test(NAME dist COMMAND ${CMAKE_SOURCE_DIR}/tests/dist/dist-test ${CMAKE_BINARY_DIR}/quillet.exe
  ${CMAKE_BINARY_DIR}/e2e_tests.exe ${CMAKE_BINARY_DIR}/dist)
set_tests_properties(dist PROPERTIES ENVIRONMENT "QUILLET_EXE=${quillet_win}" RUN_SERIAL ON TIMEOUT 120)

# The sound library on Wine's DirectSound, playing into the null sink of the
# audio server that ./quillet test starts. The programs carry the chime's own
# WAVE resources. The failing start-ups run in processes of their own: one
# without dsound.dll, one whose audio server does not answer.
windows_path(sound_scratch_win "${CMAKE_BINARY_DIR}/sound")
windows_path(sounds_win "${CMAKE_SOURCE_DIR}/resources/sounds")
quillet_test(sound_tests tests/unit/engine_test.cpp tests/unit/stream_test.cpp tests/common/files.cpp
  tests/common/pe_resources.cpp tests/common/waves.cpp resources/quillet.rc)
target_link_libraries(sound_tests PRIVATE quillet_sound)
add_test(NAME sound COMMAND sound_tests --gtest_filter=-EngineFailure.*)
add_test(NAME sound.without-dsound COMMAND sound_tests --gtest_filter=EngineFailure.WithoutDirectSound)
add_test(NAME sound.without-device COMMAND sound_tests --gtest_filter=EngineFailure.WithoutAnAudioDevice)
set_tests_properties(sound sound.without-dsound sound.without-device PROPERTIES
  ENVIRONMENT "QUILLET_SCRATCH=${sound_scratch_win};QUILLET_SOUNDS=${sounds_win}" RUN_SERIAL ON)
set_property(TEST sound.without-dsound APPEND PROPERTY ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml,dsound=")
set_property(TEST sound.without-device APPEND PROPERTY ENVIRONMENT
  "PULSE_SERVER=unix:${CMAKE_BINARY_DIR}/sound/no-server/native")

# The engine against a stand-in system whose device counts its references.
quillet_test(sound_double_tests tests/unit/engine_double_test.cpp tests/common/files.cpp
  tests/common/pe_resources.cpp tests/common/waves.cpp resources/quillet.rc)
target_link_libraries(sound_double_tests PRIVATE quillet_sound)
add_test(NAME sound.double COMMAND sound_double_tests)
set_tests_properties(sound.double PROPERTIES ENVIRONMENT "QUILLET_SCRATCH=${sound_scratch_win}")

# What the chime's samples sound like in the recording of the null sink.
add_executable(sound_player tests/sound/player.cpp resources/quillet.rc)
target_compile_options(sound_player PRIVATE ${QUILLET_FLAGS})
target_include_directories(sound_player PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(sound_player PRIVATE quillet_sound ${QUILLET_LIBS})
target_link_options(sound_player PRIVATE -static)
add_test(NAME recording COMMAND ${CMAKE_SOURCE_DIR}/tests/sound/record-test
  ${CMAKE_BINARY_DIR}/sound_player.exe ${CMAKE_BINARY_DIR}/recording)
set_tests_properties(recording PROPERTIES RUN_SERIAL ON TIMEOUT 120)

# The streaming voice in the same recording, one scene of the player at a time.
add_executable(stream_player tests/sound/stream_player.cpp)
target_compile_options(stream_player PRIVATE ${QUILLET_FLAGS})
target_include_directories(stream_player PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(stream_player PRIVATE quillet_sound ${QUILLET_LIBS})
target_link_options(stream_player PRIVATE -static)
add_test(NAME stream-recording COMMAND ${CMAKE_SOURCE_DIR}/tests/sound/stream-test
  ${CMAKE_BINARY_DIR}/stream_player.exe ${CMAKE_BINARY_DIR}/stream-recording)
set_tests_properties(stream-recording PROPERTIES RUN_SERIAL ON TIMEOUT 180)

find_program(PYTHON3 python3 REQUIRED)

# The chime heard through the program's own code: fan clicks, a typhoon's
# swing, seven samples at once and the simple sound call, each found in the
# recording of the null sink by the pitches of its samples.
add_executable(chime_voice tests/sound/voice.cpp resources/quillet.rc)
target_compile_options(chime_voice PRIVATE ${QUILLET_FLAGS})
target_include_directories(chime_voice PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(chime_voice PRIVATE quillet_core ${QUILLET_LIBS})
target_link_options(chime_voice PRIVATE -static)
add_test(NAME heard COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/sound/heard_test.py
  ${CMAKE_BINARY_DIR}/chime_voice.exe ${CMAKE_BINARY_DIR}/heard)
set_tests_properties(heard PROPERTIES RUN_SERIAL ON TIMEOUT 180)

# The generated pictures and sounds come back byte for byte from their sources.
add_test(NAME art COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/test_art.py)
add_test(NAME sounds COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/test_sound.py)
# The help page is well-formed HTML whose pictures all exist.
add_test(NAME help COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/test_help.py)

# Benchmarks: built with the tests, run by ./quillet bench.
add_executable(minimal WIN32 tests/bench/minimal.cpp)
target_compile_options(minimal PRIVATE ${QUILLET_FLAGS})
target_link_options(minimal PRIVATE -static -s)
add_executable(startup_bench tests/bench/startup_bench.cpp tests/common/pe_resources.cpp tests/common/win_helpers.cpp)
target_compile_options(startup_bench PRIVATE ${QUILLET_FLAGS})
target_include_directories(startup_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(startup_bench PRIVATE -static -municode)
target_link_libraries(startup_bench PRIVATE gdi32 user32 psapi)

# The WAVE readers fuzzed natively with clang for a bounded time.
add_test(NAME fuzz COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz-wave)
set_tests_properties(fuzz PROPERTIES TIMEOUT 300)
add_executable(chime_bench tests/bench/chime_bench.cpp tests/common/pe_resources.cpp resources/quillet.rc)
target_compile_options(chime_bench PRIVATE ${QUILLET_FLAGS})
target_include_directories(chime_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(chime_bench PRIVATE quillet_core)
target_link_options(chime_bench PRIVATE -static)
add_executable(stream_bench tests/bench/stream_bench.cpp tests/common/waves.cpp)
target_compile_options(stream_bench PRIVATE ${QUILLET_FLAGS})
target_include_directories(stream_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(stream_bench PRIVATE quillet_sound ${QUILLET_LIBS})
target_link_options(stream_bench PRIVATE -static)

# A short soak of the running program; ./quillet soak MINUTES runs a long one.
quillet_test(soak_tests tests/soak/soak_test.cpp tests/e2e/driver.cpp tests/common/files.cpp
  tests/common/pe_resources.cpp tests/common/win_helpers.cpp)
target_link_libraries(soak_tests PRIVATE psapi ntdll)
add_dependencies(soak_tests quillet probe)
add_test(NAME soak COMMAND soak_tests)
set_tests_properties(soak PROPERTIES ENVIRONMENT "QUILLET_EXE=${quillet_win};QUILLET_SCRATCH=${scratch_win}" RUN_SERIAL ON)
