# Benchmarks: built with the program, run by ./quillet bench. They assert
# nothing; they print figures that tools/bench-report turns into a report.
function(bench_program name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE ${QUILLET_FLAGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_options(${name} PRIVATE -static)
endfunction()

bench_program(minimal WIN32 bench/minimal.cpp)
target_link_options(minimal PRIVATE -s)
bench_program(startup_bench bench/startup_bench.cpp)
target_link_options(startup_bench PRIVATE -municode)
target_link_libraries(startup_bench PRIVATE gdi32 user32 psapi)
bench_program(chime_bench bench/chime_bench.cpp resources/quillet.rc)
target_link_libraries(chime_bench PRIVATE quillet_core)
bench_program(stream_bench bench/stream_bench.cpp)
target_link_libraries(stream_bench PRIVATE quillet_sound ${QUILLET_LIBS})

# The soak, and the probe that a window hook loads into the chime by its plain name.
add_library(probe SHARED bench/probe.cpp)
target_include_directories(probe PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(probe PROPERTIES PREFIX "")
target_link_options(probe PRIVATE -static -Wl,--kill-at)
bench_program(soak bench/soak.cpp)
target_link_libraries(soak PRIVATE psapi)
add_dependencies(soak probe quillet)
