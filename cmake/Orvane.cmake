# Source selection by name: foo_win.cpp builds only for Windows, foo_posix.cpp only for Linux,
# everything else everywhere. Keeps the core free of #ifdef and the lists free of edits. Each
# folder is taken with its subfolders, except the views' qt/ and win32/ folders, which are
# libraries of their own.
function(orvane_glob_sources out)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    foreach(file IN LISTS found)
      file(RELATIVE_PATH relative "${CMAKE_CURRENT_SOURCE_DIR}/${dir}" "${file}")
      if(relative MATCHES "(^|/)(qt|win32)/")
        continue()
      endif()
      if(WIN32 AND file MATCHES "_posix(_test)?\\.cpp$")
        continue()
      endif()
      if(NOT WIN32 AND file MATCHES "_win(_test)?\\.cpp$")
        continue()
      endif()
      list(APPEND result "${file}")
    endforeach()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

function(orvane_sanitize target)
  if(ORVANE_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=${ORVANE_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=${ORVANE_SANITIZE})
  endif()
endfunction()

function(orvane_warnings target)
  if(MSVC)
    return()
  endif()
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()

# What every Wine entry shares: the tree's one Wine prefix, taken in turn; two processors, since
# a Wine program runs as several processes (the program, Wine's server, its desktop) and beside
# another test on a two-core machine each entry took four times as long; exit 77 (this machine's
# Wine cannot run the program, tools/wine-can-run says why) reported as skipped.
set(ORVANE_WINE_TEST_PROPERTIES RESOURCE_LOCK wine PROCESSORS 2 SKIP_RETURN_CODE 77)

# A CTest entry of this build, named with its prefix (ORVANE_TEST_PREFIX). WINE: it runs under
# Wine. ENVIRONMENT: its variables (NAME=value). PROPERTIES: more test properties, as
# set_tests_properties takes them.
function(orvane_add_test name)
  cmake_parse_arguments(arg "WINE" "TIMEOUT" "COMMAND;ENVIRONMENT;PROPERTIES" ${ARGN})
  set(properties TIMEOUT ${arg_TIMEOUT} ${arg_PROPERTIES})
  if(arg_WINE)
    list(APPEND properties ${ORVANE_WINE_TEST_PROPERTIES})
  endif()
  add_test(NAME ${ORVANE_TEST_PREFIX}${name} COMMAND ${arg_COMMAND})
  set_tests_properties(${ORVANE_TEST_PREFIX}${name} PROPERTIES ${properties} ENVIRONMENT "${arg_ENVIRONMENT}")
endfunction()

# One CTest entry per test of a GoogleTest binary, named with this build's prefix (or PREFIX),
# with PROPERTIES. The binary lists its tests when CTest starts, a Windows one under Wine (the
# cross-compiling emulator), so no list is kept by hand.
function(orvane_discover_tests target)
  cmake_parse_arguments(arg "" "PREFIX" "PROPERTIES" ${ARGN})
  set(prefix ${ORVANE_TEST_PREFIX})
  if(DEFINED arg_PREFIX)
    set(prefix ${arg_PREFIX})
  endif()
  set(properties TIMEOUT 300 ${arg_PROPERTIES})
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(APPEND properties ${ORVANE_WINE_TEST_PROPERTIES})
  endif()
  # The bound only a hang reaches: the first Wine start makes the prefix. A parameterized test
  # keeps its own name: a printed parameter may hold addresses, which differ from run to run.
  gtest_discover_tests(${target} TEST_PREFIX ${prefix} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 900
                       NO_PRETTY_VALUES PROPERTIES ${properties})
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    orvane_unless_wine_runs(${target} ${prefix}tests ${properties})
  endif()
endfunction()

# A binary this machine's Wine cannot run (a 32-bit one without 32-bit Wine) cannot list its
# tests: in front of the listing that gtest_discover_tests just added to this directory, CTest
# asks tools/wine-can-run first and, on a no, adds the single entry Name, which runs the binary
# and so reports itself skipped with the reason.
function(orvane_unless_wine_runs target name)
  get_property(includes DIRECTORY PROPERTY TEST_INCLUDE_FILES)
  list(POP_BACK includes listing)
  set(properties)
  foreach(property IN LISTS ARGN)
    string(APPEND properties " [==[${property}]==]")
  endforeach()
  set(guard "${CMAKE_CURRENT_BINARY_DIR}/${target}_unless_wine_runs.cmake")
  file(GENERATE OUTPUT "${guard}" CONTENT "\
execute_process(COMMAND [==[${PROJECT_SOURCE_DIR}/tools/wine-can-run]==] [==[$<TARGET_FILE:${target}>]==]
                RESULT_VARIABLE runs OUTPUT_QUIET)
if(runs EQUAL 0)
  include([==[${listing}]==])
else()
  add_test([==[${name}]==] [==[${CMAKE_CROSSCOMPILING_EMULATOR}]==] [==[$<TARGET_FILE:${target}>]==])
  set_tests_properties([==[${name}]==] PROPERTIES${properties})
endif()
")
  set_property(DIRECTORY PROPERTY TEST_INCLUDE_FILES ${includes} "${guard}")
endfunction()

# The tests of the named builds beside this one (build/<name>) join this build's CTest run, each
# as its own current configuration declares them, with its own labels; a build not made yet adds
# nothing. Called from the top folder.
function(orvane_join_builds)
  cmake_path(GET CMAKE_BINARY_DIR PARENT_PATH builds)
  set(folders)
  foreach(name IN LISTS ARGN)
    string(APPEND folders " [==[${builds}/${name}]==]")
  endforeach()
  set(joined "${CMAKE_BINARY_DIR}/joined-builds.cmake")
  file(WRITE "${joined}" "subdirs(${folders})\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${joined}")
endfunction()

# The logging configuration is read from the program's folder: every program of the given
# folders and their subfolders gets the sample AppLogger.xml beside it whenever it is built.
function(orvane_ship_logging_configuration)
  set(config "${PROJECT_SOURCE_DIR}/logging/AppLogger.xml")
  set(programs)
  set(commands)
  set(pending ${ARGN})
  list(TRANSFORM pending PREPEND "${PROJECT_SOURCE_DIR}/")
  while(pending)
    list(POP_FRONT pending current)
    get_property(targets DIRECTORY "${current}" PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "EXECUTABLE")
        list(APPEND programs ${target})
        list(APPEND commands COMMAND ${CMAKE_COMMAND} -E make_directory "$<TARGET_FILE_DIR:${target}>"
             COMMAND ${CMAKE_COMMAND} -E copy_if_different "${config}" "$<TARGET_FILE_DIR:${target}>/AppLogger.xml")
      endif()
    endforeach()
    get_property(children DIRECTORY "${current}" PROPERTY SUBDIRECTORIES)
    list(APPEND pending ${children})
  endwhile()
  add_custom_target(orvane_logging_configuration ${commands} DEPENDS "${config}"
                    COMMENT "AppLogger.xml beside the programs" VERBATIM)
  foreach(program IN LISTS programs)
    add_dependencies(${program} orvane_logging_configuration)
  endforeach()
endfunction()
