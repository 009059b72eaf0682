# One helper per kind of target, so every library, test, benchmark and
# fuzzer is wired the same way. Sources are picked up from the folder, so
# adding a file never means editing a list elsewhere.

function(duduri_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(DUDURI_STRICT)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# duduri_library(NAME dir DEPS libs... [PUBLIC_DEPS libs...])
# Creates duduri_<name> from the .cpp files of the current folder.
function(duduri_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PUBLIC_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    add_library(duduri_${name} INTERFACE)
    target_include_directories(duduri_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(duduri_${name} INTERFACE ${ARG_PUBLIC_DEPS} ${ARG_DEPS})
    return()
  endif()
  add_library(duduri_${name} STATIC ${sources} ${headers})
  target_include_directories(duduri_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(duduri_${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_DEPS})
  duduri_warnings(duduri_${name})
endfunction()

# duduri_test(NAME dir DEPS libs...): one GoogleTest executable per folder.
function(duduri_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  target_include_directories(test_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(test_${name} PRIVATE
    DUDURI_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    DUDURI_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    DUDURI_BINARY_DIR="${PROJECT_BINARY_DIR}")
  duduri_warnings(test_${name})
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${name})
endfunction()
