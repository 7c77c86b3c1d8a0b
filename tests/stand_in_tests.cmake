# add_stand_in_tests(<target> <source>...)
#
# A test executable whose code under test loads the simulated board's
# stand-in libraries by bare name, as the tool does. Its tests run with the
# full set of stand-ins on the loader's search path; the tests of suites named
# Absent* run with none there, so that a library can be missing (a test puts
# one back by loading it by its full path, tests/support/preloaded_library.h).
# The executable's own RUNPATH names a directory that holds the board model
# alone, so LD_LIBRARY_PATH is all that decides where the stand-ins come
# from. To run such an executable by hand, set LD_LIBRARY_PATH to
# <build>/sim/libs (or to nothing for the Absent* suites).
function(add_stand_in_tests target)
  get_target_property(stand_in_dir simboard LIBRARY_OUTPUT_DIRECTORY)
  set(board_model_file ${CMAKE_SHARED_LIBRARY_PREFIX}simboard${CMAKE_SHARED_LIBRARY_SUFFIX})
  set(board_model_dir ${CMAKE_BINARY_DIR}/tests/board_model_only)
  file(MAKE_DIRECTORY ${board_model_dir})
  file(CREATE_LINK ${stand_in_dir}/${board_model_file} ${board_model_dir}/${board_model_file} SYMBOLIC)

  add_executable(${target} ${ARGN} ${PROJECT_SOURCE_DIR}/tests/board/sim_board.cpp
                           ${PROJECT_SOURCE_DIR}/tests/support/preloaded_library.cpp)
  target_link_libraries(${target} PRIVATE rxflash_core simboard sim_paths GTest::gtest_main ${CMAKE_DL_LIBS})
  set_target_properties(${target} PROPERTIES SKIP_BUILD_RPATH ON)
  target_link_options(${target} PRIVATE -Wl,-rpath,${board_model_dir})
  add_dependencies(${target} sim_libraries)
  gtest_discover_tests(${target} TEST_FILTER "-Absent*" PROPERTIES ENVIRONMENT "LD_LIBRARY_PATH=${stand_in_dir}"
                                                                    TIMEOUT 60)
  gtest_discover_tests(${target} TEST_FILTER "Absent*" PROPERTIES ENVIRONMENT "LD_LIBRARY_PATH=" TIMEOUT 60)
endfunction()
