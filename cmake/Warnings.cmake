# Warnings for our own targets only; third-party headers are included as system headers.
function(pagemint_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow=local)
endfunction()
