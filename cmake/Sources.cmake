# Every folder owns its sources by globbing them, so adding a file needs no edit here.
function(tevrin_glob_sources out_var)
  set(result)
  foreach(dir ${ARGN})
    file(GLOB found CONFIGURE_DEPENDS
      ${dir}/*.cpp ${dir}/*.h ${dir}/*.ui ${dir}/*.qrc)
    list(APPEND result ${found})
  endforeach()
  set(${out_var} ${result} PARENT_SCOPE)
endfunction()

# One GoogleTest executable per folder of tests; every test case runs as its own CTest test,
# offscreen, with its own temporary home (see tests/common/test_main.cpp).
function(tevrin_add_test_executable name)
  cmake_parse_arguments(T "" "" "DIRS;LIBS" ${ARGN})
  tevrin_glob_sources(srcs ${T_DIRS})
  if(NOT srcs)
    message(FATAL_ERROR "No test sources for ${name} in ${T_DIRS}")
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE testsupport ${T_LIBS})
  # Where the tests find their data files, whatever the compiler makes of __FILE__.
  target_compile_definitions(${name} PRIVATE TEVRIN_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endfunction()
