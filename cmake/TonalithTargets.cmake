# Folder conventions, so that adding a source or a test never needs a CMake edit.
#
#   tonalith_library(NAME INCLUDE_ROOT dir...)   every .cpp/.c below the dirs (tests/ excluded,
#                                                and Fake/: test doubles are libraries of their own)
#   tonalith_tests(FAMILY dir LIBS... [STANDALONE name...])
#                                                one executable per family and kind of test:
#       *_xvfb_test.cpp  -> label xvfb (needs a display)
#       *_slow_test.cpp  -> label slow
#       *_mt_test.cpp    -> labels unit + threads (also built under ThreadSanitizer)
#       otherwise        -> label unit
#     dir/support/*.cpp is a helper library linked into every test of the family;
#     TestSupport (testing/) is linked into every test.

# Extra compile options for the test programs and their helper libraries alone (not the
# libraries they test), e.g. a lower optimisation level in the sanitizer trees.
set(TONALITH_TEST_COMPILE_OPTIONS "" CACHE STRING "Compile options for test code only")

function(tonalith_collect OUT)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
    list(APPEND files ${found})
  endforeach()
  list(FILTER files EXCLUDE REGEX "/(tests|Fake)/")
  set(${OUT} ${files} PARENT_SCOPE)
endfunction()

function(tonalith_library NAME INCLUDE_ROOT)
  tonalith_collect(sources ${ARGN})
  add_library(${NAME} STATIC ${sources})
  target_include_directories(${NAME} PUBLIC ${INCLUDE_ROOT})
endfunction()

# One test program: its tests are discovered when ctest runs, labelled by kind.
function(tonalith_test_program TARGET KIND LIBS)
  set(labels ${KIND})
  if(KIND STREQUAL "mt")
    set(labels unit threads)
  endif()
  add_executable(${TARGET} ${ARGN})
  target_compile_options(${TARGET} PRIVATE ${TONALITH_TEST_COMPILE_OPTIONS})
  target_link_libraries(${TARGET} PRIVATE ${LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  # The run-time libraries the build puts beside the programs are found from the tests too.
  set_target_properties(${TARGET} PROPERTIES BUILD_RPATH ${CMAKE_BINARY_DIR}/bin)
  target_compile_definitions(${TARGET} PRIVATE
    TONALITH_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TONALITH_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # Escaped three times over: the discovery scripts split the list three times on the
  # way to set_tests_properties, and both labels must reach it as one value.
  list(JOIN labels "\\\\\\\\\\\\\\;" label_text)
  # One display, one pointer, one keyboard focus: tests that drive them must not overlap.
  set(display_lock)
  if(KIND STREQUAL "xvfb")
    set(display_lock RESOURCE_LOCK x_display)
  endif()
  get_filename_component(family_dir ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  gtest_discover_tests(${TARGET}
    DISCOVERY_MODE PRE_TEST
    TEST_PREFIX "${family_dir}."
    # The sanitizers' own dlopen stands between the program and the loader, which then no
    # longer reads the program's run path: the loader's path is given outright.
    PROPERTIES LABELS "${label_text}" ENVIRONMENT "LD_LIBRARY_PATH=${CMAKE_BINARY_DIR}/bin" ${display_lock}
    DISCOVERY_TIMEOUT 60)
endfunction()

function(tonalith_tests FAMILY DIR)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "" "" "STANDALONE")
  set(libs ${ARG_UNPARSED_ARGUMENTS} TestSupport)
  file(GLOB support CONFIGURE_DEPENDS ${DIR}/support/*.cpp)
  if(support)
    add_library(${FAMILY}TestSupport STATIC ${support})
    target_compile_options(${FAMILY}TestSupport PRIVATE ${TONALITH_TEST_COMPILE_OPTIONS})
    target_include_directories(${FAMILY}TestSupport PUBLIC ${DIR})
    target_link_libraries(${FAMILY}TestSupport PUBLIC ${libs} GTest::gtest)
    set(libs ${FAMILY}TestSupport ${libs})
  endif()
  # One executable per family and kind: linking dominates the build, and dozens of
  # programs each linking every library would cost more than compiling the tests.
  file(GLOB tests CONFIGURE_DEPENDS ${DIR}/*_test.cpp)
  # A STANDALONE test keeps a program of its own (named <family>_<file>), e.g. because
  # something is linked into it that the other tests must not see.
  foreach(name IN LISTS ARG_STANDALONE)
    list(REMOVE_ITEM tests ${DIR}/${name}.cpp)
    if(NOT TONALITH_TSAN)
      tonalith_test_program(${FAMILY}_${name} unit "${libs}" ${DIR}/${name}.cpp)
    endif()
  endforeach()
  set(kinds unit xvfb slow mt)
  foreach(kind IN LISTS kinds)
    set(sources ${tests})
    if(kind STREQUAL "unit")
      list(FILTER sources EXCLUDE REGEX "_(xvfb|slow|mt)_test\\.cpp$")
    else()
      list(FILTER sources INCLUDE REGEX "_${kind}_test\\.cpp$")
    endif()
    if(NOT sources OR (TONALITH_TSAN AND NOT kind STREQUAL "mt"))
      continue()
    endif()
    tonalith_test_program(${FAMILY}_${kind}_tests ${kind} "${libs}" ${sources})
  endforeach()
endfunction()

include(GoogleTest)
