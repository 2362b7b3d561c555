# Every nevrik target links nevrik_warnings; it carries no code, only flags.
add_library(nevrik_warnings INTERFACE)
target_compile_options(nevrik_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    $<$<BOOL:${NEVRIK_WERROR}>:-Werror>)
