# A cross build has GoogleTest from PellrigCrossCompiling.cmake already.
if(NOT TARGET GTest::gtest)
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# pellrig_add_gtest(<name> SOURCES ... [LIBS ...] [THREADED])
# Builds one GoogleTest executable and registers its cases with ctest. THREADED
# marks suites that run several threads; the ThreadSanitizer build keeps only those.
function(pellrig_add_gtest name)
  cmake_parse_arguments(ARG "THREADED" "" "SOURCES;LIBS" ${ARGN})
  if(PELLRIG_THREADED_TESTS_ONLY AND NOT ARG_THREADED)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock pellrig_options
                                        Threads::Threads)
  gtest_discover_tests(${name}
    TEST_PREFIX "${PELLRIG_TEST_PREFIX}"
    DISCOVERY_MODE PRE_TEST
    # A first start under Wine or ThreadSanitizer takes well over the default 5 s.
    DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 300)
endfunction()
