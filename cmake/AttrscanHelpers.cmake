# Shared build helpers: compiler warnings for our own code, test registration for
# both builds (the Windows test binaries run under wine through the cross-compiling
# emulator), and the third-party packages every area may use.

option(ATTRSCAN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

option(ATTRSCAN_TSAN "Build with ThreadSanitizer (the concurrent scan's race check)" OFF)
if(ATTRSCAN_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

option(ATTRSCAN_FUZZ "Build the libFuzzer targets in fuzz/ (clang only)" OFF)
if(ATTRSCAN_FUZZ)
  set(ATTRSCAN_SANITIZE ON)
  # Every library carries coverage instrumentation, so the fuzzers see the code they drive.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(ATTRSCAN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # Same digits as glibc for the same numbers: mingw's default printf family is the
  # old msvcrt one, which rounds some halves differently.
  add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# Warnings as errors on our own targets only (third-party code keeps its own flags).
function(attrscan_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# GoogleTest: Debian's package on POSIX; built from its sources with the cross compiler
# for the Windows build.
if(WIN32)
  if(NOT TARGET gtest)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
  endif()
  set(ATTRSCAN_GTEST_LIBS gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  set(ATTRSCAN_GTEST_LIBS GTest::gtest GTest::gtest_main)
endif()

# nlohmann/json is header-only; the cross compiler must not see the rest of
# /usr/include, so it gets a private include folder holding just that library.
set(ATTRSCAN_JSON_INCLUDE ${CMAKE_BINARY_DIR}/_json_include)
if(NOT EXISTS ${ATTRSCAN_JSON_INCLUDE}/nlohmann)
  file(MAKE_DIRECTORY ${ATTRSCAN_JSON_INCLUDE})
  file(CREATE_LINK /usr/include/nlohmann ${ATTRSCAN_JSON_INCLUDE}/nlohmann SYMBOLIC)
endif()

# attrscan_add_gtest(NAME name SOURCES ... LIBS ... [ENV VAR=value ...])
# One test binary, registered as one CTest test. The working directory is the
# binary folder; ENV entries are set for the run.
function(attrscan_add_gtest)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  attrscan_warnings(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${ATTRSCAN_GTEST_LIBS})
  target_compile_definitions(${T_NAME} PRIVATE
      ATTRSCAN_SOURCE_DIR="${PROJECT_SOURCE_DIR}" ATTRSCAN_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 600)
  if(T_ENV)
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${T_ENV}")
  endif()
endfunction()

# attrscan_add_fuzzer(NAME name SOURCES ... LIBS ...): a libFuzzer target, built only in
# the fuzz preset. Corpora live in fuzz/corpus/<name>/.
function(attrscan_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT ATTRSCAN_FUZZ)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  attrscan_warnings(${F_NAME})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  set_property(GLOBAL APPEND PROPERTY ATTRSCAN_FUZZERS ${F_NAME})
endfunction()
