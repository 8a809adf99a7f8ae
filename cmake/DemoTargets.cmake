# Shared compile settings and a helper that makes one static library per source folder.

# Warnings as errors is a preset setting (CMAKE_COMPILE_WARNING_AS_ERROR), so a plain configure
# with another compiler still builds.
set(DEMO_WARNINGS -Wall -Wextra -Wno-unused-parameter)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12's -O3 inlining makes these three report impossible sizes inside the standard library
  # (std::string and std::vector copies); they stay visible as warnings but do not stop a build.
  list(APPEND DEMO_WARNINGS -Wno-error=restrict -Wno-error=stringop-overflow -Wno-error=stringop-overread)
endif()

if(DEMO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(DEMO_FUZZ)
  # Coverage instrumentation for every library; the fuzz targets add the libFuzzer driver.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

add_library(demo_options INTERFACE)
target_compile_options(demo_options INTERFACE ${DEMO_WARNINGS})
target_include_directories(demo_options INTERFACE ${PROJECT_SOURCE_DIR}/src)

# demo_folder_library(NAME [DEPS ...]) builds every .cpp below the current folder into
# the static library NAME; headers are included as "folder/file.h" from src/.
function(demo_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    # A folder whose code has not arrived yet still gives a (empty) library.
    set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC demo_options ${ARG_DEPS})
endfunction()

# demo_test(NAME SOURCES... LIBS ...) adds a GoogleTest executable registered with ctest.
find_package(GTest QUIET)
function(demo_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/test_environment.cpp)
  target_link_libraries(${name} PRIVATE demo_options GTest::gtest GTest::gmock GTest::gtest_main ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 at -O3 reports a false -Wrestrict inside std::string's `"literal" + string`, which
    # tests use everywhere to make file names; product code is written around it instead.
    target_compile_options(${name} PRIVATE -Wno-restrict)
  endif()
  target_compile_definitions(${name} PRIVATE DEMO_SOURCE_ROOT="${PROJECT_SOURCE_DIR}")
  include(GoogleTest)
  # The environment (headless, silent) is set by tests/support/test_environment.cpp: a
  # multi-valued ENVIRONMENT property does not survive test discovery.
  if(ARG_LABELS)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARG_LABELS}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
