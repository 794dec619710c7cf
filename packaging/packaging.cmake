# Installation (the tool and its two fleet companions, status and apply, their manual pages and
# bash completions, the companions' systemd units, the status companion's Prometheus alerting
# rules; the simulated installation as an optional component) and the Debian package built with
# `cpack -G DEB` from the build directory.
include(GNUInstallDirs)

set(ORVEX_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(ORVEX_PACKAGING_OUT "${PROJECT_BINARY_DIR}/packaging")
set(ORVEX_PACKAGE_MAINTAINER "orvexconsumables maintainers <maintainers@orvexconsumables.example.org>"
    CACHE STRING "The Maintainer field of the Debian package")

# Directories created by the installation are world-readable whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The manual page and the package's changelog are installed gzip-compressed, without a time stamp
# or a file name in the header, as Debian's policy asks.
function(orvex_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVEX_PACKAGING_OUT}
        COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh ${source} ${output}
        DEPENDS ${source}
        COMMENT "Compressing ${output}" VERBATIM)
endfunction()

configure_file(${ORVEX_PACKAGING_DIR}/debian/changelog.in ${ORVEX_PACKAGING_OUT}/changelog @ONLY)
orvex_gzip(${PROJECT_SOURCE_DIR}/docs/orvexconsumables.1
           ${ORVEX_PACKAGING_OUT}/orvexconsumables.1.gz)
orvex_gzip(${PROJECT_SOURCE_DIR}/docs/orvexconsumables-status.1
           ${ORVEX_PACKAGING_OUT}/orvexconsumables-status.1.gz)
orvex_gzip(${PROJECT_SOURCE_DIR}/docs/orvexconsumables-apply.1
           ${ORVEX_PACKAGING_OUT}/orvexconsumables-apply.1.gz)
orvex_gzip(${ORVEX_PACKAGING_OUT}/changelog ${ORVEX_PACKAGING_OUT}/changelog.gz)
add_custom_target(orvex_docs ALL DEPENDS ${ORVEX_PACKAGING_OUT}/orvexconsumables.1.gz
                                         ${ORVEX_PACKAGING_OUT}/orvexconsumables-status.1.gz
                                         ${ORVEX_PACKAGING_OUT}/orvexconsumables-apply.1.gz
                                         ${ORVEX_PACKAGING_OUT}/changelog.gz)
# Building the tool alone (--target orvexconsumables) still leaves everything its installation needs.
add_dependencies(orvexconsumables orvex_docs)

install(TARGETS orvexconsumables RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
if(TARGET orvexconsumables-status)
    add_dependencies(orvexconsumables-status orvex_docs)
    install(TARGETS orvexconsumables-status RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
endif()
if(TARGET orvexconsumables-apply)
    add_dependencies(orvexconsumables-apply orvex_docs)
    install(TARGETS orvexconsumables-apply RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
endif()
install(FILES ${ORVEX_PACKAGING_OUT}/orvexconsumables.1.gz
              ${ORVEX_PACKAGING_OUT}/orvexconsumables-status.1.gz
              ${ORVEX_PACKAGING_OUT}/orvexconsumables-apply.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
install(FILES ${ORVEX_PACKAGING_DIR}/bash-completion/orvexconsumables
              ${ORVEX_PACKAGING_DIR}/bash-completion/orvexconsumables-status
              ${ORVEX_PACKAGING_DIR}/bash-completion/orvexconsumables-apply
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT tool)
# The units are installed, not enabled: systemctl enable --now orvexconsumables-status.timer (or
# orvexconsumables-apply.timer)
install(FILES ${ORVEX_PACKAGING_DIR}/systemd/orvexconsumables-status.service
              ${ORVEX_PACKAGING_DIR}/systemd/orvexconsumables-status.timer
              ${ORVEX_PACKAGING_DIR}/systemd/orvexconsumables-apply.service
              ${ORVEX_PACKAGING_DIR}/systemd/orvexconsumables-apply.timer
        DESTINATION lib/systemd/system COMPONENT tool)
install(FILES ${ORVEX_PACKAGING_DIR}/prometheus/orvexconsumables.rules.yml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orvexconsumables/prometheus COMPONENT tool)
install(FILES ${ORVEX_PACKAGING_DIR}/debian/copyright ${ORVEX_PACKAGING_OUT}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT tool)

# The simulated installation (stand-in libraries, settings file, launcher profile, sample fleet),
# only on request: cmake --install <build> --component simulator. A tool configured with
# -DORVEX_ROOT=<prefix>/share/orvexconsumables/sim then drives it.
if(ORVEX_BUILD_SIM)
    install(DIRECTORY ${ORVEX_SIM_ROOT}/
            DESTINATION ${CMAKE_INSTALL_DATADIR}/orvexconsumables/sim
            COMPONENT simulator EXCLUDE_FROM_ALL USE_SOURCE_PERMISSIONS OPTIONAL
            FILES_MATCHING PATTERN "*.so" PATTERN "*.json" PATTERN "*.xml" PATTERN "*.conf")
endif()

# The Debian package: the tool component only.
set(CPACK_PACKAGE_NAME orvexconsumables)
set(CPACK_PACKAGE_VENDOR "orvexconsumables maintainers")
set(CPACK_PACKAGE_CONTACT "${ORVEX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "consumables maintenance tool for Kavisto document scanners")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${ORVEX_PACKAGING_DIR}/debian/description)
set(CPACK_COMPONENTS_ALL tool)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVEX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)

# Tests of the manual page, the bash completion and the README's transcripts.
if(ORVEX_BUILD_TESTS)
    add_test(NAME packaging.manpage
             COMMAND bash ${ORVEX_PACKAGING_DIR}/tests/manpage_test.sh ${PROJECT_SOURCE_DIR}
                     $<TARGET_FILE:orvexconsumables-sim> ${ORVEX_SIM_ROOT})
    add_test(NAME packaging.completion
             COMMAND bash ${ORVEX_PACKAGING_DIR}/tests/completion_test.sh ${PROJECT_SOURCE_DIR})
    add_test(NAME packaging.readme_tour
             COMMAND bash ${ORVEX_PACKAGING_DIR}/tests/readme_tour_test.sh ${PROJECT_SOURCE_DIR}
                     ${PROJECT_BINARY_DIR})
    set_tests_properties(packaging.manpage packaging.completion packaging.readme_tour PROPERTIES
                         SKIP_RETURN_CODE 77 TIMEOUT 120)
    # Each fleet front end's page (compared with its simulator variant's output once that is
    # built) and completion.
    foreach(front_end status apply)
        set(orvex_front_end_sim "")
        if(TARGET orvexconsumables-${front_end}-sim)
            set(orvex_front_end_sim $<TARGET_FILE:orvexconsumables-${front_end}-sim>)
        endif()
        add_test(NAME packaging.${front_end}_manpage
                 COMMAND bash ${ORVEX_PACKAGING_DIR}/tests/${front_end}_manpage_test.sh
                         ${PROJECT_SOURCE_DIR} ${orvex_front_end_sim})
        add_test(NAME packaging.${front_end}_completion
                 COMMAND bash ${ORVEX_PACKAGING_DIR}/tests/${front_end}_completion_test.sh
                         ${PROJECT_SOURCE_DIR})
        set_tests_properties(packaging.${front_end}_manpage packaging.${front_end}_completion
                             PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
    endforeach()
    # The apply program's units, against the program.
    add_test(NAME packaging.apply_units
             COMMAND bash ${ORVEX_PACKAGING_DIR}/tests/apply_units_test.sh ${PROJECT_SOURCE_DIR}
                     $<TARGET_FILE:orvexconsumables-apply>)
    set_tests_properties(packaging.apply_units PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
