# The Track Replay view's model: plain C++ over the ship table, no Qt.
file(GLOB PELORIN_REPLAY_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/replay/*.cpp)
add_library(pelorin_replay STATIC ${PELORIN_REPLAY_SOURCES})
target_link_libraries(pelorin_replay PUBLIC pelorin_logic)
target_compile_options(pelorin_replay PRIVATE ${PELORIN_WARNINGS})

if(PELORIN_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  enable_testing()
  get_filename_component(PELORIN_REPLAY_SHARED_DIR ${CMAKE_CURRENT_SOURCE_DIR}/../shared ABSOLUTE)
  file(GLOB PELORIN_REPLAY_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/replay/*.cpp)
  if(PELORIN_REPLAY_TESTS)
    add_executable(test_replay ${PELORIN_REPLAY_TESTS} ${CMAKE_CURRENT_SOURCE_DIR}/tests/support/test_support.cpp)
    target_include_directories(test_replay PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    target_link_libraries(test_replay PRIVATE pelorin_replay GTest::gtest GTest::gtest_main)
    target_compile_options(test_replay PRIVATE ${PELORIN_WARNINGS})
    # g++ 12 with the sanitizers mistakes the inline texts' byte copies in this file's table
    # builders for reads past the object (a false -Warray-bounds).
    if(PELORIN_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(test_replay PRIVATE -Wno-array-bounds)
    endif()
    target_compile_definitions(test_replay PRIVATE
      PELORIN_SHARED_DIR="${PELORIN_REPLAY_SHARED_DIR}"
      PELORIN_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
    gtest_discover_tests(test_replay DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  endif()
endif()
