# doctest is header-only (Debian doctest-dev). The cross compilers do not search
# /usr/include, and adding it wholesale breaks the mingw headers, so the one
# header is copied into the build tree.
find_path(DOCTEST_HOST_DIR doctest/doctest.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(VENDARO_DOCTEST_DIR ${CMAKE_BINARY_DIR}/third_party)
file(COPY ${DOCTEST_HOST_DIR}/doctest/doctest.h DESTINATION ${VENDARO_DOCTEST_DIR}/doctest)

add_library(doctest_main STATIC ${CMAKE_SOURCE_DIR}/cmake/doctest_main.cpp)
target_include_directories(doctest_main PUBLIC ${VENDARO_DOCTEST_DIR})
# The package's doctest_discover_tests makes each test case a ctest test of its own.
find_file(DOCTEST_CMAKE_MODULE doctest.cmake PATHS /usr/lib/cmake/doctest NO_CMAKE_FIND_ROOT_PATH)
if(DOCTEST_CMAKE_MODULE)
    include(${DOCTEST_CMAKE_MODULE})
endif()

# A Windows build's cases are listed under Wine (CMAKE_CROSSCOMPILING_EMULATOR) when ctest
# reads its tests, by the package's own listing script, and listed again only once the suite is
# rebuilt: the package's discovery would run each program under Wine after every build, and a
# build must not need Wine (the 32-bit one has no Wine to run on some machines).
function(vendaro_list_cases_at_test_time name timeout)
    set(cases ${CMAKE_CURRENT_BINARY_DIR}/${name}_cases.cmake)
    set(exe $<TARGET_FILE:${name}>)
    cmake_path(REPLACE_FILENAME DOCTEST_CMAKE_MODULE doctestAddTests.cmake OUTPUT_VARIABLE lister)
    file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake CONTENT "\
if(NOT EXISTS [[${cases}]] OR [[${exe}]] IS_NEWER_THAN [[${cases}]])
  execute_process(COMMAND [[${CMAKE_COMMAND}]] [[-DTEST_EXECUTABLE=${exe}]]
    [[-DTEST_EXECUTOR=${CMAKE_CROSSCOMPILING_EMULATOR}]]
    [[-DTEST_WORKING_DIR=${CMAKE_CURRENT_BINARY_DIR}]] [[-DTEST_PREFIX=${name}/]]
    -DTEST_LIST=${name}_CASES [[-DCTEST_FILE=${cases}]] -P [[${lister}]]
    RESULT_VARIABLE listed)
  if(NOT listed EQUAL 0)
    file(REMOVE [[${cases}]])
    add_test(${name}_NOT_LISTED ${name}_NOT_LISTED)
    return()
  endif()
endif()
include([[${cases}]])
set_tests_properties(\${${name}_CASES} PROPERTIES TIMEOUT ${timeout} LABELS [[unit;wine]]
  RESOURCE_LOCK ${name} FAIL_REGULAR_EXPRESSION [=[test cases: 0 [|]]=])
")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
        ${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake)
endfunction()

# vendaro_add_test(<name> SOURCES ... LIBS ...): one doctest executable run by ctest, each of its
# test cases a ctest test of its own (`<name>/<case>`). Under Wine a suite's cases run one at a
# time, as they did in one process (they share the prefix's registry and files).
function(vendaro_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE doctest_main ${T_LIBS})
    # The test code itself is built without optimisation: its doctest expansions take about
    # three times as long to compile at -O2, and it runs in a moment either way. The code under
    # test comes from the libraries, built with the preset's flags.
    target_compile_options(${name} PRIVATE -O0)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    # Labels pick a kind of test: ctest -L unit (the suites), -L e2e (the programs as processes),
    # -L wine (everything of a Windows build), -L fuzz (the corpora replayed).
    if(NOT DOCTEST_CMAKE_MODULE)
        add_test(NAME ${name} COMMAND ${name})
        set(labels unit)
        if(WIN32)
            list(APPEND labels wine)
        endif()
        set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${labels}")
    elseif(WIN32)
        vendaro_list_cases_at_test_time(${name} ${T_TIMEOUT})
    else()
        doctest_discover_tests(${name} TEST_PREFIX "${name}/"
            PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS unit
            FAIL_REGULAR_EXPRESSION "test cases: 0 [|]")
    endif()
endfunction()

# vendaro_add_suite(<subsystem> LIBS ...): the subsystem's doctest suite from tests/*.cpp,
# tests/native/*.cpp (cases run against the real platform being built, whichever it is) and
# tests/posix/*.cpp or tests/win32/*.cpp (that platform's own).
function(vendaro_add_suite subsystem)
    cmake_parse_arguments(S "" "TIMEOUT" "LIBS" ${ARGN})
    set(dir ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    if(WIN32)
        file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/native/*.cpp ${dir}/win32/*.cpp)
    else()
        file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/native/*.cpp ${dir}/posix/*.cpp)
    endif()
    if(sources)
        vendaro_add_test(${subsystem}_tests SOURCES ${sources} LIBS ${S_LIBS} TIMEOUT ${S_TIMEOUT})
        target_compile_definitions(${subsystem}_tests PRIVATE
            VENDARO_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VENDARO_BINARY_DIR="${CMAKE_BINARY_DIR}")
    endif()
endfunction()
