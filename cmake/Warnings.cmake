# Compiler warnings for every target of the game; -Werror when VANTOR_WERROR is on (CI).
function(vantor_set_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wsuggest-override
        -Wold-style-cast -Wcast-align -Wunused -Woverloaded-virtual -Wnull-dereference
        -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough -Wmisleading-indentation)
    if(VANTOR_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
