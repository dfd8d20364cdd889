# libFuzzer targets, built with -DVENDARO_FUZZ=ON (the "fuzz" preset) and clang.
#
# Every fuzz/<name>.cpp (and fuzz/posix/<name>.cpp, for targets on the POSIX platform layer)
# becomes the executable <name>, linked with every library of the
# program. The whole build is instrumented for coverage and runs under
# AddressSanitizer and UndefinedBehaviorSanitizer, so a fault anywhere below a target's entry
# point stops the run with a report. `cmake --workflow --preset fuzz` builds them and runs each
# as a ctest test (label fuzz) for VENDARO_FUZZ_SECONDS, from its seed corpus
# (fuzz/corpus/<name>/, never written to); what a target finds is kept in the build's
# corpus/<name>/, and an input that crashes, leaks or times out in its artifacts/.
#
# Without VENDARO_FUZZ, a Linux build with tests (the linux and asan presets) compiles every
# target with fuzz/replay_main.cpp instead of libFuzzer, as <name>_replay, and ctest runs it as
# fuzz_replay_<name> once over every input of fuzz/corpus/<name>/: past finds stay regression
# tests. That needs clang's fuzzer/FuzzedDataProvider.h (Debian package clang), copied into the
# build tree; without it the replays are left out with a note.
set(VENDARO_FUZZ_LIBS vendaro_editors vendaro_mainwin vendaro_forms vendaro_dsn vendaro_shell
                      vendaro_store vendaro_platform_native vendaro_testing)

# The targets' sources: fuzz/*.cpp and, on POSIX, fuzz/posix/*.cpp; never the replay main.
function(vendaro_fuzz_sources out)
    set(globs ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
    if(NOT WIN32)
        list(APPEND globs ${CMAKE_SOURCE_DIR}/fuzz/posix/*.cpp)
    endif()
    file(GLOB sources CONFIGURE_DEPENDS ${globs})
    list(FILTER sources EXCLUDE REGEX "/replay_main\\.cpp$")
    set(${out} ${sources} PARENT_SCOPE)
endfunction()

function(vendaro_add_fuzz_replays)
    file(GLOB providers /usr/lib/llvm-*/lib/clang/*/include/fuzzer/FuzzedDataProvider.h
         /usr/lib/clang/*/include/fuzzer/FuzzedDataProvider.h
         /usr/local/lib/clang/*/include/fuzzer/FuzzedDataProvider.h)
    if(NOT providers)
        message(STATUS "Fuzz corpus replays left out: no fuzzer/FuzzedDataProvider.h (install clang)")
        return()
    endif()
    list(SORT providers COMPARE NATURAL)
    list(GET providers -1 provider)
    file(COPY ${provider} DESTINATION ${CMAKE_BINARY_DIR}/fuzz_include/fuzzer)
    vendaro_fuzz_sources(sources)
    foreach(source ${sources})
        get_filename_component(name ${source} NAME_WE)
        set(corpus ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
        if(NOT IS_DIRECTORY ${corpus})
            message(WARNING "fuzz target ${name} has no seed corpus (${corpus}): no replay")
            continue()
        endif()
        add_executable(${name}_replay ${source} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
        target_include_directories(${name}_replay SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/fuzz_include)
        target_link_libraries(${name}_replay PRIVATE ${VENDARO_FUZZ_LIBS})
        # Built quickly, like the suites: it runs a handful of inputs.
        target_compile_options(${name}_replay PRIVATE -O0)
        add_test(NAME fuzz_replay_${name} COMMAND ${name}_replay ${corpus})
        set_tests_properties(fuzz_replay_${name} PROPERTIES TIMEOUT 60 LABELS fuzz)
    endforeach()
endfunction()

if(NOT VENDARO_FUZZ)
    if(VENDARO_TESTS AND NOT WIN32)
        # The libraries are defined by the folders added after this file is included.
        cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vendaro_add_fuzz_replays)
    endif()
    return()
endif()

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VENDARO_FUZZ needs clang (configure with the \"fuzz\" preset)")
endif()

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)
# g++ and mingw keep the code free of warnings; clang's own extra ones must not stop a fuzz run.
add_compile_options(-Wno-error)

set(VENDARO_FUZZ_SECONDS 60 CACHE STRING "How long ctest runs each fuzz target")
enable_testing()

function(vendaro_add_fuzz_targets)
    vendaro_fuzz_sources(fuzz_sources)
    set(names "")
    foreach(source ${fuzz_sources})
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source})
        target_link_libraries(${name} PRIVATE ${VENDARO_FUZZ_LIBS})
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        list(APPEND names ${name})
        set(found ${CMAKE_BINARY_DIR}/corpus/${name})
        file(MAKE_DIRECTORY ${found} ${CMAKE_BINARY_DIR}/artifacts)
        add_test(NAME fuzz_${name} COMMAND ${name} -max_total_time=${VENDARO_FUZZ_SECONDS}
                 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                 -artifact_prefix=${CMAKE_BINARY_DIR}/artifacts/${name}- ${found}
                 ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
        math(EXPR limit "${VENDARO_FUZZ_SECONDS} + 120")
        set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz TIMEOUT ${limit})
    endforeach()
    add_custom_target(fuzz_targets DEPENDS ${names})
endfunction()

# The libraries are defined by the folders added after this file is included.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vendaro_add_fuzz_targets)
