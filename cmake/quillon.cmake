# Helpers shared by every component's CMakeLists.txt.
include(GoogleTest)

# The lock of the Windows tests that read message boxes from the screen.
set(QUILLON_MESSAGE_BOX_LOCK quillon_message_boxes)

# GoogleTest from Debian's sources, built with whichever compiler this tree uses.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
if(NOT TARGET gtest)
    # GoogleTest's own sources do not build warning-free with -Werror on mingw.
    set(_saved_options ${CMAKE_CXX_FLAGS})
    add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    target_compile_options(gtest PRIVATE -Wno-error)
    target_compile_options(gtest_main PRIVATE -Wno-error)
endif()

# A portable library: no windows.h, built in both trees (the deliverables link it).
function(quillon_core_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# Native unit test of a portable core: quillon_native_test(name SOURCES ... LIBS ...)
function(quillon_native_test name)
    if(QUILLON_WINDOWS)
        return()
    endif()
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
endfunction()

# Windows test run under Wine:
# quillon_wine_test(name SOURCES ... LIBS ... DEPENDS ... [ALONE | MESSAGE_BOXES])
# DEPENDS names the deliverables the test drives, so they are built first. Windows tests
# run two at a time in one virtual desktop. ALONE: the program's cases must have it to
# themselves: they switch the display mode or go full-screen (which moves and loses every
# other window and surface) or check pixels read back from the screen, where another
# test's window may lie on top. MESSAGE_BOXES: the cases read the icons of message boxes
# from the screen, and every message box opens in the middle of it: one such case at a time.
# The program's main is the driver's: a case still running shortly before TIMEOUT prints
# the windows on the screen and where it waits.
function(quillon_wine_test name)
    if(NOT QUILLON_WINDOWS)
        return()
    endif()
    cmake_parse_arguments(T "ALONE;MESSAGE_BOXES" "TIMEOUT" "SOURCES;LIBS;DEPENDS;PROPERTIES" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    if(T_ALONE)
        list(APPEND T_PROPERTIES RUN_SERIAL TRUE)
    endif()
    if(T_MESSAGE_BOXES)
        list(APPEND T_PROPERTIES RESOURCE_LOCK ${QUILLON_MESSAGE_BOX_LOCK})
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} testdriver_main)
    if(T_DEPENDS)
        add_dependencies(${name} ${T_DEPENDS})
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT QUILLON_TEST_TIMEOUT=${T_TIMEOUT}
        ${T_PROPERTIES})
endfunction()

# One of the three programs: quillon_program(NAME SOURCES ... LIBS ...
# [VERSION_NAME name DESCRIPTION text] [HELP text]). NAME is the target and the EXE's name
# (NAME.EXE). VERSION_NAME (the product and internal name, "NAME.exe" in its letter case) and
# DESCRIPTION configure the programs' one resource script, resources/program.rc.in: version
# resource and icon NAME.ico from resources/. HELP is the help text in UTF-8, shipped as
# NAME.TXT. Test builds of a program give neither.
function(quillon_program name)
    cmake_parse_arguments(P "" "VERSION_NAME;DESCRIPTION;HELP" "SOURCES;LIBS" ${ARGN})
    set(rc)
    if(P_VERSION_NAME)
        set(PROGRAM ${name})
        set(PROGRAM_NAME ${P_VERSION_NAME})
        set(PROGRAM_DESCRIPTION ${P_DESCRIPTION})
        set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
        configure_file(${PROJECT_SOURCE_DIR}/resources/program.rc.in ${rc} @ONLY)
        set_property(SOURCE ${rc} APPEND PROPERTY INCLUDE_DIRECTORIES
            ${PROJECT_SOURCE_DIR}/resources)
    endif()
    add_executable(${name} WIN32 ${P_SOURCES} ${rc})
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${name} SUFFIX .EXE)
    target_link_options(${name} PRIVATE -municode)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/win)
    target_link_libraries(${name} PRIVATE ${P_LIBS})
    if(P_HELP)
        quillon_help_file(${name} ${name}.TXT ${P_HELP})
    endif()
endfunction()

# A program's help file: kept in UTF-8 in the repository, shipped beside the program in
# Shift-JIS with CR LF line ends (the viewer reads it in the ANSI code page).
# Makes the target <program>Help, which the program depends on.
function(quillon_help_file program name source)
    set(out ${CMAKE_BINARY_DIR}/bin/${name})
    add_custom_command(OUTPUT ${out}
        COMMAND sh -c "sed 's/$/\\r/' '${source}' | iconv -f UTF-8 -t CP932 > '${out}'"
        DEPENDS ${source}
        COMMENT "${name} (Shift-JIS)" VERBATIM)
    add_custom_target(${program}Help ALL DEPENDS ${out})
    add_dependencies(${program} ${program}Help)
endfunction()

# A libFuzzer target of a portable core, built with clang, ASan and UBSan in the native tree
# only; ctest runs a bounded number of executions from the committed seeds. New inputs go
# to the first corpus folder: the build's, never the seeds.
# quillon_fuzz_target(name SOURCES ... INCLUDES ... DEPENDS ... SEEDS folder RUNS n MAX_LEN n)
function(quillon_fuzz_target name)
    if(QUILLON_WINDOWS)
        return()
    endif()
    find_program(QUILLON_CLANGXX NAMES clang++ clang++-14)
    if(NOT QUILLON_CLANGXX)
        return()
    endif()
    cmake_parse_arguments(F "" "SEEDS;RUNS;MAX_LEN" "SOURCES;INCLUDES;DEPENDS" ${ARGN})
    set(exe ${CMAKE_CURRENT_BINARY_DIR}/${name})
    list(TRANSFORM F_INCLUDES PREPEND -I OUTPUT_VARIABLE include_flags)
    add_custom_command(OUTPUT ${exe}
        COMMAND ${QUILLON_CLANGXX} -std=c++17 -g -O1 -Wall -Wextra -Werror
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
            ${include_flags} ${F_SOURCES} -o ${exe}
        DEPENDS ${F_SOURCES} ${F_DEPENDS}
        COMMENT "Building the fuzz target ${name}")
    add_custom_target(${name} ALL DEPENDS ${exe})
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME ${name}
        COMMAND ${exe} -runs=${F_RUNS} -seed=1 -max_len=${F_MAX_LEN} ${corpus} ${F_SEEDS})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
