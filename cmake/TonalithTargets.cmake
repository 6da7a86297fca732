# Folder conventions, so that adding a source or a test never needs a CMake edit.
#
#   tonalith_library(NAME INCLUDE_ROOT dir...)   every .cpp/.c below the dirs (tests/ excluded)
#   tonalith_tests(FAMILY dir LIBS...)           one executable per dir/*_test.cpp;
#       *_xvfb_test.cpp  -> label xvfb (needs a display)
#       *_slow_test.cpp  -> label slow
#       *_mt_test.cpp    -> labels unit + threads (also built under ThreadSanitizer)
#       otherwise        -> label unit
#     dir/support/*.cpp is a helper library linked into every test of the family.

function(tonalith_collect OUT)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
    list(APPEND files ${found})
  endforeach()
  list(FILTER files EXCLUDE REGEX "/tests/")
  set(${OUT} ${files} PARENT_SCOPE)
endfunction()

function(tonalith_library NAME INCLUDE_ROOT)
  tonalith_collect(sources ${ARGN})
  if(sources)
    add_library(${NAME} STATIC ${sources})
    target_include_directories(${NAME} PUBLIC ${INCLUDE_ROOT})
  else()
    add_library(${NAME} INTERFACE)
    target_include_directories(${NAME} INTERFACE ${INCLUDE_ROOT})
  endif()
endfunction()

# Links a library target whether it was made STATIC or INTERFACE.
function(tonalith_link NAME)
  get_target_property(kind ${NAME} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${NAME} INTERFACE ${ARGN})
  else()
    target_link_libraries(${NAME} PUBLIC ${ARGN})
  endif()
endfunction()

function(tonalith_tests FAMILY DIR)
  set(libs ${ARGN})
  file(GLOB support CONFIGURE_DEPENDS ${DIR}/support/*.cpp)
  if(support)
    add_library(${FAMILY}TestSupport STATIC ${support})
    target_include_directories(${FAMILY}TestSupport PUBLIC ${DIR})
    target_link_libraries(${FAMILY}TestSupport PUBLIC ${libs} GTest::gtest)
    set(libs ${FAMILY}TestSupport ${libs})
  endif()
  file(GLOB tests CONFIGURE_DEPENDS ${DIR}/*_test.cpp)
  foreach(test IN LISTS tests)
    get_filename_component(name ${test} NAME_WE)
    set(labels unit)
    if(name MATCHES "_xvfb_test$")
      set(labels xvfb)
    elseif(name MATCHES "_slow_test$")
      set(labels slow)
    elseif(name MATCHES "_mt_test$")
      set(labels unit threads)
    endif()
    if(TONALITH_TSAN AND NOT name MATCHES "_mt_test$")
      continue()
    endif()
    set(target ${FAMILY}_${name})
    add_executable(${target} ${test})
    target_link_libraries(${target} PRIVATE ${libs} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
    target_compile_definitions(${target} PRIVATE
      TONALITH_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
      TONALITH_BINARY_DIR="${CMAKE_BINARY_DIR}")
    # Escaped three times over: the discovery scripts split the list three times on the
    # way to set_tests_properties, and both labels must reach it as one value.
    list(JOIN labels "\\\\\\\\\\\\\\;" label_text)
    # One display, one pointer, one keyboard focus: tests that drive them must not overlap.
    set(display_lock)
    if(name MATCHES "_xvfb_test$")
      set(display_lock RESOURCE_LOCK x_display)
    endif()
    gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      TEST_PREFIX "${FAMILY}."
      PROPERTIES LABELS "${label_text}" ${display_lock}
      DISCOVERY_TIMEOUT 60)
  endforeach()
endfunction()

include(GoogleTest)
