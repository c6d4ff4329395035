# The Windows build's tests run under Debian's Wine (tests/wine/wine_run is the emulator
# CTest puts in front of each test executable), all in one throwaway Wine prefix of the
# build's own: made anew before the first of them, removed after the last.
set(QC_WINE_RUN ${PROJECT_SOURCE_DIR}/tests/wine/wine_run ${PROJECT_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QC_WINE_RUN})

add_test(NAME wine_prefix_new COMMAND ${QC_WINE_RUN} --new)
add_test(NAME wine_prefix_end COMMAND ${QC_WINE_RUN} --end)
set_tests_properties(wine_prefix_new PROPERTIES FIXTURES_SETUP wine_prefix)
set_tests_properties(wine_prefix_end PROPERTIES FIXTURES_CLEANUP wine_prefix)

# qc_wine_test(<test>...): tests that run under Wine, in the prefix; called in the folder
# that added them. A fatal error under Wine opens a box and waits: wine_run ends each run
# after QC_WINE_TIMEOUT seconds, CTest the test after a little more.
function(qc_wine_test)
    set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT 330)
endfunction()
