# kestrel_warnings(target): the project's warning level for its own code.
function(kestrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
