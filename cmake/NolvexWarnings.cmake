# One warnings helper for every target of the project.
add_library(nolvex_warnings INTERFACE)
target_compile_options(nolvex_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                       $<$<BOOL:${NOLVEX_WERROR}>:-Werror>)
