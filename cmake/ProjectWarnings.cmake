# Warnings for the project's own code; with HASHBENCH_WERROR they are errors
# (the test scripts and CI turn it on; someone who merely builds gets the
# warnings only). Third-party headers come in as SYSTEM includes and are not
# affected.
add_library(hashbench_warnings INTERFACE)
target_compile_options(hashbench_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wcast-align -Woverloaded-virtual
  -Wnull-dereference -Wformat=2)
if(HASHBENCH_WERROR)
  target_compile_options(hashbench_warnings INTERFACE -Werror)
endif()

function(hashbench_project_target target)
  target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:hashbench_warnings>)
endfunction()
