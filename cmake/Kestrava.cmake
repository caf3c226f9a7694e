# kv_library(name SOURCES ... DEPS ...): one static library per folder.
function(kv_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_link_libraries(${name} PUBLIC kv_warnings ${A_DEPS})
  set_property(GLOBAL APPEND PROPERTY KV_LIBRARIES ${name})
endfunction()

# kv_test(name SOURCES ... DEPS ... [LABELS ...]): one GoogleTest binary registered with CTest.
function(kv_test name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE kv_warnings ${A_DEPS} GTest::gtest GTest::gtest_main)
  # Nothing may hang the suite: every test has a time limit. Tests that drive windows share one
  # X display and its keyboard focus, so they run one at a time.
  if("gui" IN_LIST A_LABELS)
    set(props LABELS gui RESOURCE_LOCK x_keyboard_focus TIMEOUT 300)
  else()
    set(props TIMEOUT 120)
  endif()
  gtest_discover_tests(${name} WORKING_DIRECTORY ${KV_GAME_DIR} DISCOVERY_TIMEOUT 60
                       PROPERTIES ${props})
endfunction()

# kv_program(name SOURCES ... DEPS ...): a program placed in the game folder.
function(kv_program name)
  cmake_parse_arguments(A "" "OUTPUT_NAME" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE kv_warnings ${A_DEPS})
  set_property(GLOBAL APPEND PROPERTY KV_LIBRARIES ${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KV_GAME_DIR})
  if(A_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${A_OUTPUT_NAME})
  endif()
endfunction()
include(GoogleTest)
