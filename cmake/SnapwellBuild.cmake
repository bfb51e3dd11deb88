# Compiler and linker settings shared by every target.

if(WIN32)
    # Static runtime: the product files must need nothing but Windows' own DLLs.
    add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)
    add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
    add_link_options(-static -static-libgcc -static-libstdc++)
    # Each Windows build has its own product folder and its own Wine.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(SNAPWELL_WINE_ARCH win64)
    else()
        set(SNAPWELL_WINE_ARCH win32)
    endif()
    # The builds the presets make fill dist/<arch>; any other build folder of
    # the same architecture (benchmarks, a second developer's) keeps its
    # product to itself, so it never replaces the program another build's
    # tests start.
    if(CMAKE_BINARY_DIR STREQUAL "${CMAKE_SOURCE_DIR}/build/${SNAPWELL_WINE_ARCH}")
        set(SNAPWELL_DIST_DIR "${CMAKE_SOURCE_DIR}/dist/${SNAPWELL_WINE_ARCH}")
    else()
        set(SNAPWELL_DIST_DIR "${CMAKE_BINARY_DIR}/dist")
    endif()
else()
    add_compile_options(-Wall -Wextra -Wno-unused-parameter)
    if(SNAPWELL_FUZZ)
        # Instrument every library for coverage, so the fuzzer sees inside the
        # code under test and not only inside the target's own entry point.
        add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
        add_link_options(-fsanitize=address,undefined)
    endif()
    if(SNAPWELL_SANITIZE)
        add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
        add_link_options(-fsanitize=address,undefined)
    endif()
endif()

# Copies a product file into dist/ after each build of it: the target's own
# file, or the file named after the target (for a custom target's output).
function(snapwell_install_to_dist target)
    if(WIN32)
        set(file "$<TARGET_FILE:${target}>")
        if(ARGC GREATER 1)
            set(file "${ARGV1}")
        endif()
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E make_directory "${SNAPWELL_DIST_DIR}"
            COMMAND ${CMAKE_COMMAND} -E copy_if_different "${file}" "${SNAPWELL_DIST_DIR}/"
            VERBATIM)
    endif()
endfunction()
