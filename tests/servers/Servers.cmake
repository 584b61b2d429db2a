# Loopback test servers as CTest fixtures. A fixture's setup test starts the
# server in the background and waits until it listens; its cleanup test stops
# it. The tests themselves never start processes (a Windows test under Wine
# cannot manage a Linux child), they only read where the servers are from
# their environment. See tests/servers/README.md.

set(JESTLARK_SERVERS_BINARY_DIR ${CMAKE_BINARY_DIR}/servers)
set(JESTLARK_FIXTURE_SCRIPT ${JESTLARK_SERVERS_DIR}/fixture.py)

# Under Wine a test reads a Unix absolute path through drive Z:.
if(CMAKE_CROSSCOMPILING AND WIN32)
  set(JESTLARK_TEST_PATH_PREFIX "Z:")
else()
  set(JESTLARK_TEST_PATH_PREFIX "")
endif()

# jestlark_test_path(<var> <absolute path>): the path as the tests of this
# build read it.
function(jestlark_test_path var path)
  set(${var} "${JESTLARK_TEST_PATH_PREFIX}${path}" PARENT_SCOPE)
endfunction()

# jestlark_server_port(<var> <offset>): JESTLARK_TEST_PORT_BASE + offset.
function(jestlark_server_port var offset)
  math(EXPR port "${JESTLARK_TEST_PORT_BASE} + ${offset}")
  set(${var} ${port} PARENT_SCOPE)
endfunction()

# jestlark_loopback_address(<var> <n>): 127.0.0.<10 * preset + n>, an address
# of this build's own, for servers that must use a fixed port (443) while the
# presets run side by side. n is 1 to 9.
function(jestlark_loopback_address var n)
  math(EXPR octet "(${JESTLARK_TEST_PORT_BASE} / 100 - 280) * 10 + ${n}")
  set(${var} 127.0.0.${octet} PARENT_SCOPE)
endfunction()

function(_jestlark_fixture_env_name var fixture)
  string(TOUPPER "${fixture}" name)
  string(MAKE_C_IDENTIFIER "${name}" name)
  set(${var} ${name} PARENT_SCOPE)
endfunction()

# Writes the environment entries that tests requiring <fixture> receive.
function(_jestlark_fixture_env fixture)
  set(content "")
  foreach(entry ${ARGN})
    string(APPEND content "list(APPEND _jestlark_env [==[${entry}]==])\n")
  endforeach()
  file(WRITE ${JESTLARK_SERVERS_BINARY_DIR}/${fixture}/env.cmake "${content}")
endfunction()

# jestlark_server_fixture(<fixture> <program>
#     [OFFSET <n> | PORT <port>] [HOST <address>] [ARGS <args>...]
#     [REQUIRES <fixtures>...] [ENV <NAME=VALUE>...] [WAIT <seconds>])
#
# Adds the tests server.<fixture>.start and server.<fixture>.stop. The server
# listens on HOST (127.0.0.1) at PORT, or at JESTLARK_TEST_PORT_BASE + OFFSET.
# A <program> ending in .py runs under Python with "--host H --port P --spool S"
# in front of ARGS; in ARGS, {host}, {port} and {spool} are replaced. The spool
# folder is emptied at every start. Tests that require the fixture get
#   JESTLARK_SERVER_<FIXTURE>=<host>:<port>  and  JESTLARK_SPOOL_<FIXTURE>=<folder>
# (<FIXTURE> upper-cased, other characters as _) plus the ENV entries.
function(jestlark_server_fixture fixture program)
  cmake_parse_arguments(ARG "" "OFFSET;PORT;HOST;WAIT" "ARGS;REQUIRES;ENV" ${ARGN})
  if(DEFINED ARG_PORT)
    set(port ${ARG_PORT})
  elseif(DEFINED ARG_OFFSET)
    jestlark_server_port(port ${ARG_OFFSET})
  else()
    message(FATAL_ERROR "jestlark_server_fixture(${fixture}): give OFFSET or PORT")
  endif()
  if(NOT ARG_HOST)
    set(ARG_HOST 127.0.0.1)
  endif()
  if(NOT ARG_WAIT)
    set(ARG_WAIT 30)
  endif()
  set(dir ${JESTLARK_SERVERS_BINARY_DIR}/${fixture})
  file(MAKE_DIRECTORY ${dir}/spool)
  if(program MATCHES "\\.py$")
    set(command ${JESTLARK_PYTHON} ${program} --host {host} --port {port} --spool {spool} ${ARG_ARGS})
  else()
    set(command ${program} ${ARG_ARGS})
  endif()
  get_filename_component(marker ${program} NAME)
  set(common --pid ${dir}/server.pid --marker ${marker})
  add_test(NAME server.${fixture}.start
    COMMAND ${JESTLARK_PYTHON} ${JESTLARK_FIXTURE_SCRIPT} start ${common}
            --log ${dir}/server.log --host ${ARG_HOST} --port ${port} --spool ${dir}/spool
            --wait ${ARG_WAIT} -- ${command})
  add_test(NAME server.${fixture}.stop
    COMMAND ${JESTLARK_PYTHON} ${JESTLARK_FIXTURE_SCRIPT} stop ${common})
  math(EXPR timeout "${ARG_WAIT} + 15")
  set_tests_properties(server.${fixture}.start PROPERTIES
    FIXTURES_SETUP ${fixture} FIXTURES_REQUIRED "${ARG_REQUIRES}" TIMEOUT ${timeout})
  set_tests_properties(server.${fixture}.stop PROPERTIES
    FIXTURES_CLEANUP ${fixture} TIMEOUT 30)
  _jestlark_fixture_env_name(name ${fixture})
  jestlark_test_path(spool ${dir}/spool)
  _jestlark_fixture_env(${fixture}
    "JESTLARK_SERVER_${name}=${ARG_HOST}:${port}" "JESTLARK_SPOOL_${name}=${spool}" ${ARG_ENV})
endfunction()

# jestlark_fixture_step(<fixture> COMMAND <command>... [REQUIRES <fixtures>...]
#     [ENV <NAME=VALUE>...])
#
# A fixture without a server: one setup test, server.<fixture>.setup, that runs
# the command once before the tests that require it (files generated at test
# time, for one). Tests that require it get the ENV entries.
function(jestlark_fixture_step fixture)
  cmake_parse_arguments(ARG "" "" "COMMAND;REQUIRES;ENV" ${ARGN})
  add_test(NAME server.${fixture}.setup COMMAND ${ARG_COMMAND})
  set_tests_properties(server.${fixture}.setup PROPERTIES
    FIXTURES_SETUP ${fixture} FIXTURES_REQUIRED "${ARG_REQUIRES}" TIMEOUT 60)
  _jestlark_fixture_env(${fixture} ${ARG_ENV})
endfunction()

# jestlark_require_servers(<test target> <fixtures>... [ENV <NAME=VALUE>...]
#     [RESOURCE_LOCK <locks>...])
#
# Makes every test of a jestlark_add_test target require the fixtures and
# gives it their environment (and the ENV entries). Call it after
# jestlark_add_test, in the same folder. It sets the tests' ENVIRONMENT,
# FIXTURES_REQUIRED and RESOURCE_LOCK; list extra entries here, not in
# jestlark_add_test's PROPERTIES.
function(jestlark_require_servers target)
  cmake_parse_arguments(ARG "" "" "ENV;RESOURCE_LOCK" ${ARGN})
  set(fixtures ${ARG_UNPARSED_ARGUMENTS})
  # The discovered tests exist only when CTest runs, so their properties are
  # set by a file CTest includes after the discovery's own.
  set(content "set(_jestlark_env)\n")
  foreach(fixture ${fixtures})
    string(APPEND content "include([==[${JESTLARK_SERVERS_BINARY_DIR}/${fixture}/env.cmake]==])\n")
  endforeach()
  foreach(entry ${ARG_ENV})
    string(APPEND content "list(APPEND _jestlark_env [==[${entry}]==])\n")
  endforeach()
  string(APPEND content
    "if(${target}_TESTS)\n"
    "  set_tests_properties(\${${target}_TESTS} PROPERTIES\n"
    "    ENVIRONMENT \"\${_jestlark_env}\"\n"
    "    FIXTURES_REQUIRED [==[${fixtures}]==]\n")
  if(ARG_RESOURCE_LOCK)
    string(APPEND content "    RESOURCE_LOCK [==[${ARG_RESOURCE_LOCK}]==]\n")
  endif()
  string(APPEND content "  )\nendif()\n")
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${target}_servers.cmake)
  file(WRITE ${file} "${content}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
endfunction()
