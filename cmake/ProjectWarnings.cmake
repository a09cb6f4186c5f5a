# Warnings are errors in project code. Third-party headers come in as SYSTEM
# includes and are not affected.
add_library(hashbench_warnings INTERFACE)
target_compile_options(hashbench_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wcast-align -Woverloaded-virtual
  -Wnull-dereference -Wformat=2 -Werror)

function(hashbench_project_target target)
  target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:hashbench_warnings>)
endfunction()
