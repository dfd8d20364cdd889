# Benchmark programs, built with -DVENDARO_BENCH=ON (use a Release build for figures).
#
# Every bench/<name>.cpp (and bench/posix/<name>.cpp, or on Windows bench/win32/<name>.cpp)
# becomes the executable <name>, linked with every library of the program. They are plain
# programs that print figures, not tests: ctest does not run them. scripts/bench.sh builds and runs them and writes docs/performance.md.
option(VENDARO_BENCH "Build the benchmark programs" OFF)
if(NOT VENDARO_BENCH)
    return()
endif()

function(vendaro_add_bench_programs)
    file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
    if(WIN32)
        file(GLOB platform_bench_sources CONFIGURE_DEPENDS
             ${CMAKE_SOURCE_DIR}/bench/win32/*.cpp)
    else()
        file(GLOB platform_bench_sources CONFIGURE_DEPENDS
             ${CMAKE_SOURCE_DIR}/bench/posix/*.cpp)
    endif()
    list(APPEND bench_sources ${platform_bench_sources})
    set(libs vendaro_editors vendaro_mainwin vendaro_forms vendaro_dsn vendaro_shell vendaro_store
             vendaro_platform_native vendaro_testing)
    set(names "")
    foreach(source ${bench_sources})
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source})
        target_link_libraries(${name} PRIVATE ${libs})
        list(APPEND names ${name})
    endforeach()
    add_custom_target(bench_programs DEPENDS ${names})
    if(TARGET vendaro)
        add_dependencies(bench_programs vendaro)
    endif()
endfunction()

# The libraries are defined by the folders added after this file is included.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vendaro_add_bench_programs)
