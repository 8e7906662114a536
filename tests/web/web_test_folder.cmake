# What both web tests need first: node, and a folder of the run's own.
#
# web_test_node(): sets `node` to the node program, or prints "skipped: node is not installed"
# and leaves it empty (the caller then returns).
# web_test_folder(NAME OUT): makes the folder vantor-web-NAME-<random> in $TMPDIR (or /tmp) and
# sets OUT to it; the test removes it when it passes.
function(web_test_node)
    find_program(found node)
    if(found)
        set(node "${found}" PARENT_SCOPE)
    else()
        message("skipped: node is not installed")
        set(node "" PARENT_SCOPE)
    endif()
endfunction()

function(web_test_folder name out)
    string(RANDOM LENGTH 12 tag)
    set(base "$ENV{TMPDIR}")
    if(NOT base)
        set(base "/tmp")
    endif()
    set(folder "${base}/vantor-web-${name}-${tag}")
    file(MAKE_DIRECTORY "${folder}")
    set(${out} "${folder}" PARENT_SCOPE)
endfunction()
