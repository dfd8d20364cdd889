# libFuzzer targets, built with -DVENDARO_FUZZ=ON (the "fuzz" preset) and clang.
#
# Every fuzz/<name>.cpp (and fuzz/posix/<name>.cpp, for targets on the POSIX platform layer)
# becomes the executable <name>, linked with every library of the
# program. The whole build is instrumented for coverage and runs under
# AddressSanitizer and UndefinedBehaviorSanitizer, so a fault anywhere below a target's entry
# point stops the run with a report. scripts/fuzz.sh builds and runs them.
if(NOT VENDARO_FUZZ)
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

function(vendaro_add_fuzz_targets)
    file(GLOB fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp
         ${CMAKE_SOURCE_DIR}/fuzz/posix/*.cpp)
    set(libs vendaro_editors vendaro_mainwin vendaro_forms vendaro_dsn vendaro_shell vendaro_store
             vendaro_platform_native vendaro_testing)
    set(names "")
    foreach(source ${fuzz_sources})
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source})
        target_link_libraries(${name} PRIVATE ${libs})
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        list(APPEND names ${name})
    endforeach()
    add_custom_target(fuzz_targets DEPENDS ${names})
endfunction()

# The libraries are defined by the folders added after this file is included.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vendaro_add_fuzz_targets)
