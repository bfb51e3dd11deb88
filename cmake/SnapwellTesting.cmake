# Test registration for both builds. Windows test programs run under Wine
# through CMAKE_CROSSCOMPILING_EMULATOR (scripts/wine-run), inside one Wine
# session and one virtual display started by a fixture for the whole run.

get_filename_component(SNAPWELL_CORPUS_DIR "${CMAKE_SOURCE_DIR}/../shared/corpus" REALPATH)
if(WIN32)
    # Wine maps the host's root to drive Z:, and forward slashes are accepted.
    set(SNAPWELL_CORPUS_DIR_FOR_TESTS "Z:${SNAPWELL_CORPUS_DIR}")
    set(SNAPWELL_SOURCE_DIR_FOR_TESTS "Z:${CMAKE_SOURCE_DIR}")
    set(SNAPWELL_BINARY_DIR_FOR_TESTS "Z:${CMAKE_BINARY_DIR}")
else()
    set(SNAPWELL_CORPUS_DIR_FOR_TESTS "${SNAPWELL_CORPUS_DIR}")
    set(SNAPWELL_SOURCE_DIR_FOR_TESTS "${CMAKE_SOURCE_DIR}")
    set(SNAPWELL_BINARY_DIR_FOR_TESTS "${CMAKE_BINARY_DIR}")
endif()

if(WIN32)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/scripts/wine-run;--arch;${SNAPWELL_WINE_ARCH};${CMAKE_BINARY_DIR}"
        CACHE STRING "" FORCE)
    find_package(GTest REQUIRED CONFIG)
else()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest_main)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
endif()

# snapwell_add_test(<name> SOURCES <files...> [LIBS <targets...>] [GUI] [NO_MAIN] [TIMEOUT <s>])
# One test program, registered as one CTest test. GUI marks Windows programs
# that open windows (they share the virtual display). NO_MAIN is for programs
# that bring their own main (for example to pump messages first).
function(snapwell_add_test name)
    cmake_parse_arguments(T "GUI;NO_MAIN" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    if(T_NO_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest ${T_LIBS})
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main ${T_LIBS})
    endif()
    target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}" "${CMAKE_SOURCE_DIR}/tests")
    target_compile_definitions(${name} PRIVATE
        SNAPWELL_CORPUS_DIR="${SNAPWELL_CORPUS_DIR_FOR_TESTS}"
        SNAPWELL_SOURCE_DIR="${SNAPWELL_SOURCE_DIR_FOR_TESTS}"
        SNAPWELL_BINARY_DIR="${SNAPWELL_BINARY_DIR_FOR_TESTS}")
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 180)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(WIN32)
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_session)
        if(T_GUI)
            # One desktop for all: a window or message box of one test program
            # takes the focus, the pointer and the active window from another,
            # so programs with windows take turns; the rest run beside them.
            set_tests_properties(${name} PROPERTIES LABELS gui RESOURCE_LOCK wine_desktop)
        endif()
    endif()
endfunction()

if(SNAPWELL_FUZZ)
    file(WRITE "${CMAKE_BINARY_DIR}/fuzz-targets.txt" "")
endif()

# snapwell_add_fuzzer(<name> SOURCES <files...> [LIBS <targets...>] [SEEDS <dir-or-files...>])
# With SNAPWELL_FUZZ (clang) the program is a libFuzzer target; otherwise it is
# linked with a replay driver and run over its seeds as a regression test.
function(snapwell_add_fuzzer name)
    cmake_parse_arguments(F "" "" "SOURCES;LIBS;SEEDS" ${ARGN})
    if(WIN32)
        return()
    endif()
    if(SNAPWELL_FUZZ)
        add_executable(${name} ${F_SOURCES})
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
        # scripts/fuzz reads this list: one line per target, its program and seeds.
        string(REPLACE ";" " " seeds "${F_SEEDS}")
        file(APPEND "${CMAKE_BINARY_DIR}/fuzz-targets.txt" "${CMAKE_CURRENT_BINARY_DIR}/${name} ${seeds}\n")
    else()
        add_executable(${name} ${F_SOURCES} "${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp")
        if(F_SEEDS)
            add_test(NAME ${name} COMMAND ${name} ${F_SEEDS})
            set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS fuzz)
        endif()
    endif()
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}")
endfunction()

# snapwell_library_beside(<target>): keeps a copy of the imaging library
# beside a Windows test program, where the program loads it from. The copy
# is renewed whenever the library is rebuilt, not only when the test program
# is relinked.
function(snapwell_library_beside target)
    get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
    if(NOT dir)
        set(dir "${CMAKE_CURRENT_BINARY_DIR}")
    endif()
    set(copy "${dir}/_ISource30.dll")
    add_custom_command(OUTPUT "${copy}"
        COMMAND ${CMAKE_COMMAND} -E copy "$<TARGET_FILE:_ISource30>" "${copy}"
        DEPENDS _ISource30
        VERBATIM)
    add_custom_target(${target}_library DEPENDS "${copy}")
    add_dependencies(${target} ${target}_library)
endfunction()
