# Registers one CTest entry per test function of a Qt Test program, so that a failure names its
# case. CTest includes this file (through the program's include file) before it runs tests: the
# program lists its functions with -functions, and the list is made again whenever the program
# is newer than it.
#
# Set by the include file:
#   QT_TEST_PROGRAM   the test program
#   QT_TEST_PREFIX    prefix of the test names ("ui.main_window")
#   QT_TEST_LIST      the CTest file written here and included
#   QT_TEST_ENV_ROOT  folder under which each test has its own config and home folders
#   QT_TEST_TIMEOUT   seconds per test function
#   QT_TEST_LSAN_SUPPRESSIONS  leaks of system libraries that LeakSanitizer passes over

if(NOT EXISTS "${QT_TEST_PROGRAM}")
    add_test("${QT_TEST_PREFIX}.NOT_BUILT" "${QT_TEST_PROGRAM}")
    return()
endif()

if(NOT EXISTS "${QT_TEST_LIST}" OR "${QT_TEST_PROGRAM}" IS_NEWER_THAN "${QT_TEST_LIST}"
   OR "${CMAKE_CURRENT_LIST_FILE}" IS_NEWER_THAN "${QT_TEST_LIST}")
    # Programs that make a QApplication need a platform even to list their functions.
    set(saved_platform "$ENV{QT_QPA_PLATFORM}")
    set(ENV{QT_QPA_PLATFORM} offscreen)
    execute_process(COMMAND "${QT_TEST_PROGRAM}" -functions
        OUTPUT_VARIABLE listed ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 60)
    set(ENV{QT_QPA_PLATFORM} "${saved_platform}")

    set(whole FALSE)
    string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*\\(\\)" functions "${listed}")
    set(content "# Made by ${CMAKE_CURRENT_LIST_FILE} from `${QT_TEST_PROGRAM} -functions`.\n")
    if(NOT status EQUAL 0 OR NOT functions)
        # The program cannot list its functions: one entry runs it whole, so the failure shows.
        string(APPEND content "add_test([==[${QT_TEST_PREFIX}.all]==] [==[${QT_TEST_PROGRAM}]==])\n")
        set(functions "all()")
        set(whole TRUE)
    endif()
    foreach(entry IN LISTS functions)
        string(REPLACE "()" "" function "${entry}")
        set(name "${QT_TEST_PREFIX}.${function}")
        # Each test points the user's settings and home folder at places of its own, so that no
        # test reaches the user's own and tests running side by side never share one. They are
        # not made: the tests keep their settings in temporary folders themselves (an existing
        # empty configuration folder would also make fontconfig leak under LeakSanitizer).
        set(env "${QT_TEST_ENV_ROOT}/${function}")
        if(NOT whole)
            string(APPEND content
                "add_test([==[${name}]==] [==[${QT_TEST_PROGRAM}]==] [==[${function}]==])\n")
        endif()
        string(APPEND content "set_tests_properties([==[${name}]==] PROPERTIES TIMEOUT "
            "${QT_TEST_TIMEOUT} ENVIRONMENT [==[QT_QPA_PLATFORM=offscreen;"
            "XDG_CONFIG_HOME=${env}/config;HOME=${env}/home;"
            "LSAN_OPTIONS=suppressions=${QT_TEST_LSAN_SUPPRESSIONS}:print_suppressions=0]==])\n")
    endforeach()
    file(WRITE "${QT_TEST_LIST}" "${content}")
endif()

include("${QT_TEST_LIST}")
