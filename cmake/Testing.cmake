# GoogleTest: Debian's packaged build natively; its sources for the MinGW builds.
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Debian's interpreter: the checks use its packaged modules (pefile).
find_program(JESTLARK_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT JESTLARK_PYTHON)
  find_program(JESTLARK_PYTHON NAMES python3 REQUIRED)
endif()
set(JESTLARK_SERVERS_DIR ${PROJECT_SOURCE_DIR}/tests/servers)
include(${JESTLARK_SERVERS_DIR}/Servers.cmake)

# jestlark_add_test(NAME SOURCES... [LIBS libs...] [PROPERTIES props...])
# One GoogleTest executable; each of its tests becomes a CTest test, discovered
# when CTest runs so that Wine starts only then.
function(jestlark_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gtest)
  gtest_discover_tests(${name}
    NO_PRETTY_VALUES
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES TIMEOUT 180 ${ARG_PROPERTIES})
endfunction()
