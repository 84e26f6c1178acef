# Shared helpers for the subsystem folders.

# quiltora_core_sources(<files...>): add portable sources to the core library.
function(quiltora_core_sources)
  target_sources(quiltora_core PRIVATE ${ARGN})
endfunction()

# quiltora_test_sources(<files...>): add GoogleTest sources to the one test program.
function(quiltora_test_sources)
  target_sources(quiltora_tests PRIVATE ${ARGN})
endfunction()
