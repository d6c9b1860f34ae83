# One static library per module folder of src/. Sources are collected from the folder, so adding a
# file needs no CMake edit; the dependency list is what enforces the one-way layering.
# Warnings are errors in continuous integration (.ci/run sets TESSALY_WERROR), not by default: a
# newer or older compiler's false positive must not stop a user's build.
set(TESSALY_WARNINGS -Wall -Wextra -Wpedantic)
# GCC 12 at -O3 (a Release build) reports std::string assignments and concatenations as overlapping
# copies (-Wrestrict, GCC bug 105329), a false positive in the library's own code; later releases
# no longer do.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    list(APPEND TESSALY_WARNINGS -Wno-restrict)
endif()
if(TESSALY_WERROR)
    list(APPEND TESSALY_WARNINGS -Werror)
endif()

function(tessaly_module name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(NOT sources)
        # A module that has no compiled code yet is still a target, so dependants link unchanged.
        add_library(tessaly_${name} INTERFACE)
        target_include_directories(tessaly_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        foreach(dep IN LISTS ARG_DEPS)
            target_link_libraries(tessaly_${name} INTERFACE tessaly_${dep})
        endforeach()
        return()
    endif()
    add_library(tessaly_${name} STATIC ${sources} ${headers})
    target_include_directories(tessaly_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(tessaly_${name} PRIVATE ${TESSALY_WARNINGS})
    target_compile_features(tessaly_${name} PUBLIC cxx_std_20)
    foreach(dep IN LISTS ARG_DEPS)
        target_link_libraries(tessaly_${name} PUBLIC tessaly_${dep})
    endforeach()
endfunction()

# One GoogleTest executable per module: every tests/<module>/*.cpp file.
function(tessaly_test_suite module)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${module}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(test_${module} ${sources})
    target_compile_options(test_${module} PRIVATE ${TESSALY_WARNINGS})
    target_compile_definitions(test_${module} PRIVATE
        TESSALY_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
        TESSALY_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    target_include_directories(test_${module} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(test_${module} PRIVATE tessaly_${module} ${ARG_LIBS} GTest::gtest_main)
    gtest_discover_tests(test_${module} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()
