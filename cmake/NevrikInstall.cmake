# Installs the libraries, their headers and the files a user's build finds them by:
#   lib/libnevrik_<area>.a
#   include/nevrik/<area>/*.h
#   lib/cmake/nevrik/   nevrikConfig.cmake, nevrikConfigVersion.cmake, the targets
#   lib/pkgconfig/nevrik.pc
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(NEVRIK_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/nevrik)
get_property(nevrik_areas GLOBAL PROPERTY NEVRIK_AREAS)

# The static libraries name nevrik_warnings among what they link, so it goes too.
set_target_properties(nevrik_warnings PROPERTIES EXPORT_NAME warnings)
install(TARGETS ${nevrik_areas} nevrik nevrik_warnings
    EXPORT nevrikTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/nevrik
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
    FILES_MATCHING PATTERN "*.h")
install(EXPORT nevrikTargets NAMESPACE nevrik:: DESTINATION ${NEVRIK_CMAKE_DIR})

# The areas that live inside another area's library get their aliases back.
set(NEVRIK_ALIAS_COMMANDS "")
get_property(nevrik_aliases GLOBAL PROPERTY NEVRIK_ALIASES)
foreach(alias IN LISTS nevrik_aliases)
    string(REPLACE "=" ";" pair ${alias})
    list(GET pair 0 name)
    list(GET pair 1 target)
    get_target_property(exported ${target} EXPORT_NAME)
    string(APPEND NEVRIK_ALIAS_COMMANDS
        "if(NOT TARGET nevrik::${name})\n    add_library(nevrik::${name} ALIAS nevrik::${exported})\nendif()\n")
endforeach()

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/nevrikConfig.cmake.in
    ${PROJECT_BINARY_DIR}/nevrikConfig.cmake
    INSTALL_DESTINATION ${NEVRIK_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/nevrikConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/nevrikConfig.cmake ${PROJECT_BINARY_DIR}/nevrikConfigVersion.cmake
    DESTINATION ${NEVRIK_CMAKE_DIR})

# pkg-config: the libraries in one group, since their order of use is not a line.
set(NEVRIK_PC_LIBS "")
foreach(area IN LISTS nevrik_areas)
    get_target_property(type ${area} TYPE)
    if(type STREQUAL "STATIC_LIBRARY")
        string(APPEND NEVRIK_PC_LIBS " -l${area}")
    endif()
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/nevrik.pc.in ${PROJECT_BINARY_DIR}/nevrik.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/nevrik.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
