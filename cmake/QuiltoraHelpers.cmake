# Shared helpers for the subsystem folders.

# quiltora_core_sources(<files...>): add portable sources to the core library.
function(quiltora_core_sources)
  target_sources(quiltora_core PRIVATE ${ARGN})
endfunction()

# quiltora_test_sources(<files...>): add GoogleTest sources to the one test program.
function(quiltora_test_sources)
  target_sources(quiltora_tests PRIVATE ${ARGN})
endfunction()

# Kernels for one x86 instruction set are built only by GCC or Clang for x86.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i686|i386)$" AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  set(QUILTORA_VECTOR_LANES ON)
else()
  set(QUILTORA_VECTOR_LANES OFF)
endif()

# quiltora_vector_sources(<avx2|avx2-fma|avx512> <files...>): core sources
# compiled for that instruction set alone, where QUILTORA_VECTOR_LANES; the
# code calling them checks the processor first.
function(quiltora_vector_sources set)
  if(NOT QUILTORA_VECTOR_LANES)
    return()
  endif()
  if(set STREQUAL "avx2")
    set(options -mavx2)
  elseif(set STREQUAL "avx2-fma")
    set(options -mavx2 -mfma)
  elseif(set STREQUAL "avx512")
    # GCC 12's own AVX-512 intrinsics start from undefined vectors and warn about it.
    set(options -mavx512f -mavx512bw -mavx512vl -mavx512dq -mfma
        $<$<CXX_COMPILER_ID:GNU>:-Wno-uninitialized -Wno-maybe-uninitialized>)
  else()
    message(FATAL_ERROR "quiltora_vector_sources: unknown instruction set ${set}")
  endif()
  if(WIN32)
    # 64-bit Windows code cannot align the stack to 32 bytes; spilled vectors
    # must not be moved with aligned instructions.
    list(APPEND options -Wa,-muse-unaligned-vector-move)
  endif()
  target_sources(quiltora_core PRIVATE ${ARGN})
  set_source_files_properties(${ARGN} TARGET_DIRECTORY quiltora_core PROPERTIES COMPILE_OPTIONS "${options}")
endfunction()

# quiltora_lane_switch(<file> <definition>): defines definition in file when
# the vector kernels are built, so that it may call them.
function(quiltora_lane_switch file definition)
  if(QUILTORA_VECTOR_LANES)
    set_source_files_properties(${file} TARGET_DIRECTORY quiltora_core PROPERTIES COMPILE_DEFINITIONS ${definition})
  endif()
endfunction()
