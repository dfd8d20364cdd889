# The packages for users, made by CPack from the program's build tree (the workflow presets
# package-linux, package-win32 and package-win64 make them into build/packages/):
# - Windows: vendaro-<version>-win32.zip or -win64.zip, the program with its help file, an
#   example script file and a README, in one folder, with the console program vendaroctl.exe;
# - Linux: vendaro_<version>_amd64.deb. The program looks for vendaro.ini in its own folder,
#   so it lives in /opt/vendaro beside the example library (a configuration file, kept on
#   upgrades) and is on PATH through a link in /usr/bin; with its manual page vendaro(1). The
#   same for vendaroctl and vendaroctl(1).
if(NOT TARGET vendaro)
    return()
endif()

# Files that ship but are not built; named here only.
set(VENDARO_HELP_FILE ${CMAKE_SOURCE_DIR}/app/win32/faq.fil)
set(VENDARO_EXAMPLE_LIBRARY ${CMAKE_SOURCE_DIR}/examples/vendaro.ini)
set(VENDARO_PACKAGING_SOURCES ${CMAKE_SOURCE_DIR}/packaging)
set(staging ${CMAKE_BINARY_DIR}/packaging)
set(generated_files "")

set(CPACK_PACKAGE_NAME vendaro)
set(CPACK_PACKAGE_VENDOR Vendaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "create ODBC data sources from saved scripts")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(VENDARO_WINDOWS_BITS 64)
    else()
        set(VENDARO_WINDOWS_BITS 32)
    endif()
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME vendaro-${PROJECT_VERSION}-win${VENDARO_WINDOWS_BITS})
    configure_file(${VENDARO_PACKAGING_SOURCES}/README-windows.txt ${staging}/README.txt @ONLY
                   NEWLINE_STYLE CRLF)
    install(TARGETS vendaro vendaroctl RUNTIME DESTINATION .)
    install(FILES ${VENDARO_HELP_FILE} ${VENDARO_EXAMPLE_LIBRARY} ${staging}/README.txt
            DESTINATION .)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vendaro developers <vendaro@example.org>")
    set(CPACK_DEBIAN_PACKAGE_SECTION database)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The extended description, lines of at most 80 characters.
    string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
           "Vendaro keeps a library of DSN scripts, saved definitions of ODBC data"
           "sources, in /opt/vendaro/vendaro.ini, and creates a unixODBC User or System"
           "DSN from any of them unattended: vendaro Sales -ue. It knows the drivers"
           "Adaptive Server Anywhere 6.0, SQL Server, Microsoft Access, dBase and"
           "Visual FoxPro. vendaroctl checks, applies, diffs, removes, exports and"
           "test-connects the library's data sources for scripts and configuration"
           "tools, with JSON output and exit statuses that say what changed.")
    # The unixODBC runtime libraries (and the C and C++ runtimes) the program links with.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    file(WRITE ${staging}/conffiles "/opt/vendaro/vendaro.ini\n")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${staging}/conffiles)

    # vendaroctl lives beside vendaro, so that both read the same library by default.
    install(TARGETS vendaro vendaroctl RUNTIME DESTINATION opt/vendaro)
    install(FILES ${VENDARO_EXAMPLE_LIBRARY} DESTINATION opt/vendaro)
    file(CREATE_LINK /opt/vendaro/vendaro ${staging}/vendaro SYMBOLIC)
    file(CREATE_LINK /opt/vendaro/vendaroctl ${staging}/vendaroctl SYMBOLIC)
    install(FILES ${staging}/vendaro ${staging}/vendaroctl DESTINATION usr/bin)
    configure_file(${VENDARO_PACKAGING_SOURCES}/changelog.in ${staging}/changelog @ONLY)
    install(FILES ${VENDARO_PACKAGING_SOURCES}/copyright ${staging}/changelog.gz
            DESTINATION usr/share/doc/vendaro)
    # The lintian tags that /opt brings, each with its reason.
    install(FILES ${VENDARO_PACKAGING_SOURCES}/lintian-overrides
            DESTINATION usr/share/lintian/overrides RENAME vendaro)

    configure_file(${VENDARO_PACKAGING_SOURCES}/vendaro.1.in ${staging}/vendaro.1 @ONLY)
    configure_file(${VENDARO_PACKAGING_SOURCES}/vendaroctl.1.in ${staging}/vendaroctl.1 @ONLY)
    foreach(file vendaro.1 vendaroctl.1 changelog)
        add_custom_command(OUTPUT ${staging}/${file}.gz
                           COMMAND gzip -9 -n -c ${staging}/${file} > ${staging}/${file}.gz
                           DEPENDS ${staging}/${file} VERBATIM)
        list(APPEND generated_files ${staging}/${file}.gz)
    endforeach()
    install(FILES ${staging}/vendaro.1.gz ${staging}/vendaroctl.1.gz DESTINATION usr/share/man/man1)
endif()

# Everything a package holds. cpack only installs what was built: the package presets build
# this target first, so that making packages never builds the tests.
add_custom_target(vendaro_package_files ALL DEPENDS ${generated_files})
add_dependencies(vendaro_package_files vendaro vendaroctl)
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
