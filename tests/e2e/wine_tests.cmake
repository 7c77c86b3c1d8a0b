# The same end-to-end scenarios once more, run by the 64-bit Windows build
# under Wine (64-bit loader, the prefix of the wine_prefix fixture made once
# per test run in tests/windows/, WINEDEBUG=-all): the test sources of
# e2e_tests with the Wine runner in place of the native one.
#
# Left out: the scenarios that depend on the display scan, since under Wine
# the real USER32 answers it instead of the simulated board (there is no
# USER32 stand-in or variant in the Windows build). A new suite that looks at
# the scan, or takes USER32 away, joins display_scan_tests.
set(wine_loader /usr/lib/wine/wine64)
set(display_scan_tests BoardPreparation.*)

get_property(wine_prefix GLOBAL PROPERTY RXFLASH_WINE_PREFIX)
get_property(windows_exe GLOBAL PROPERTY RXFLASH_WINDOWS_X64_EXE)
if(NOT windows_exe OR NOT wine_prefix)
  message(STATUS "No 64-bit Windows build: the end-to-end scenarios do not run under Wine")
  return()
endif()
if(NOT EXISTS ${wine_loader})
  message(STATUS "${wine_loader} missing (Debian package wine64): the end-to-end scenarios do not run under Wine")
  return()
endif()

string(JOIN ":" display_scan_filter ${display_scan_tests})
get_target_property(e2e_sources e2e_tests SOURCES)
list(REMOVE_ITEM e2e_sources native_runner.cpp)
add_executable(e2e_wine_tests ${e2e_sources} wine_runner.cpp wine_server.cpp)
get_filename_component(windows_build ${windows_exe} DIRECTORY)
get_filename_component(windows_build ${windows_build} DIRECTORY)
foreach(property INCLUDE_DIRECTORIES LINK_LIBRARIES COMPILE_DEFINITIONS)
  get_target_property(e2e_${property} e2e_tests ${property})
endforeach()
target_include_directories(e2e_wine_tests PRIVATE ${e2e_INCLUDE_DIRECTORIES})
target_link_libraries(e2e_wine_tests PRIVATE ${e2e_LINK_LIBRARIES})
target_compile_definitions(
  e2e_wine_tests
  PRIVATE ${e2e_COMPILE_DEFINITIONS}
          RXFLASH_WINDOWS_EXECUTABLE="${windows_exe}"
          RXFLASH_WINDOWS_SIM_LIBS_DIR="${windows_build}/sim/libs"
          RXFLASH_WINDOWS_SIM_VARIANTS_DIR="${windows_build}/sim/variants"
          RXFLASH_WINE_LOADER="${wine_loader}"
          RXFLASH_WINE_PREFIX="${wine_prefix}")
add_dependencies(e2e_wine_tests rxflash_windows_x64)

gtest_discover_tests(
  e2e_wine_tests
  TEST_PREFIX "wine."
  TEST_FILTER "-${display_scan_filter}"
  NO_PRETTY_VALUES
  DISCOVERY_MODE PRE_TEST
  PROPERTIES TIMEOUT 150 LABELS wine FIXTURES_REQUIRED wine_prefix)
