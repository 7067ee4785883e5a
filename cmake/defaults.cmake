# Settings every target of the project gets: strict warnings, and for Windows the target
# version (Windows 7 SP1), ANSI entry points and a self-contained, statically linked binary.
function(tunlatch_defaults target)
    target_compile_options(${target} PRIVATE
        $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Werror>)
    if(WIN32)
        target_compile_definitions(${target} PRIVATE
            _WIN32_WINNT=0x0601 WINVER=0x0601 NTDDI_VERSION=0x06010000
            WIN32_LEAN_AND_MEAN NOMINMAX)
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    endif()
endfunction()
