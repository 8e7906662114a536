# AddressSanitizer and UndefinedBehaviorSanitizer, one option each.
# Every target that links the game must use the same flags, so each target calls this.
function(vantor_set_sanitizers target)
    set(flags "")
    if(VANTOR_ASAN)
        list(APPEND flags -fsanitize=address -fno-omit-frame-pointer)
    endif()
    if(VANTOR_UBSAN)
        list(APPEND flags -fsanitize=undefined -fno-sanitize-recover=undefined)
    endif()
    if(flags)
        target_compile_options(${target} PRIVATE ${flags})
        target_link_options(${target} PUBLIC ${flags})
    endif()
endfunction()

# One call for an executable of the project (game, tool, test or benchmark).
function(vantor_executable target)
    vantor_set_warnings(${target})
    vantor_set_sanitizers(${target})
    target_link_libraries(${target} PRIVATE vantor)
endfunction()
