# SPDX-License-Identifier: GPL-3.0-or-later
# Build switches for every target of the project, in one place.
option(OMBRIX_WERROR "Treat compiler warnings as errors" ON)
option(OMBRIX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(OMBRIX_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
option(OMBRIX_BUILD_TESTS "Build the test suite" ON)
option(OMBRIX_BUILD_BENCH "Build the benchmarks" ON)

if(OMBRIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(OMBRIX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "OMBRIX_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

function(ombrix_apply_options target)
  # -Wshadow: a name that hides another in an outer scope or a member is a
  # mistake waiting to happen in the long drawing functions.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(OMBRIX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
