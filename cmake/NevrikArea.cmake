include(GNUInstallDirs)

# nevrik_area(<name> [SOURCE_DIRS dir...] [DEPENDS target...] [LIBRARIES lib...])
#
# One static library per area, nevrik_<name> with the alias nevrik::<name>, made
# of every .cpp in the area's folder and its detail/ folder. DEPENDS states the
# layering; LIBRARIES adds outside libraries the area uses privately.
function(nevrik_area name)
    cmake_parse_arguments(ARG "" "" "SOURCE_DIRS;DEPENDS;LIBRARIES" ${ARGN})
    if(NOT ARG_SOURCE_DIRS)
        set(ARG_SOURCE_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    set(sources)
    foreach(dir IN LISTS ARG_SOURCE_DIRS)
        file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/detail/*.cpp)
        list(APPEND sources ${found})
    endforeach()
    set(include_dirs $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    if(NOT sources)
        # Headers only (templates): nothing to compile, only usage requirements.
        add_library(nevrik_${name} INTERFACE)
        target_include_directories(nevrik_${name} INTERFACE ${include_dirs})
        target_link_libraries(nevrik_${name} INTERFACE ${ARG_DEPENDS} ${ARG_LIBRARIES})
    else()
        add_library(nevrik_${name} STATIC ${sources})
        target_include_directories(nevrik_${name} PUBLIC ${include_dirs})
        target_link_libraries(nevrik_${name} PUBLIC ${ARG_DEPENDS} PRIVATE nevrik_warnings ${ARG_LIBRARIES})
    endif()
    add_library(nevrik::${name} ALIAS nevrik_${name})
    # Installed, the library is nevrik::<name> as well.
    set_target_properties(nevrik_${name} PROPERTIES EXPORT_NAME ${name})
    set_property(GLOBAL APPEND PROPERTY NEVRIK_AREAS nevrik_${name})
endfunction()

# nevrik_alias(<name> <target>): an area that lives inside another area's library.
# The installed package makes the same aliases (NevrikInstall.cmake).
function(nevrik_alias name target)
    add_library(nevrik::${name} ALIAS ${target})
    set_property(GLOBAL APPEND PROPERTY NEVRIK_ALIASES "${name}=${target}")
endfunction()
