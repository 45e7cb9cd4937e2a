# The tools of the Windows build beside the generator: the crash test of the settings
# store (see CMakeLists.txt). ctest runs it through the cross-compiling emulator (wine);
# the driver finds the saver next to itself.
add_executable(settings-save-loop killtest/save_loop.cpp)
target_link_libraries(settings-save-loop PRIVATE artiscope_views)
add_executable(settings-kill-test killtest/kill_test.cpp)
target_link_libraries(settings-kill-test PRIVATE artiscope_settings)
set_target_properties(settings-save-loop settings-kill-test PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                                      ${CMAKE_BINARY_DIR}/bin)
add_dependencies(settings-kill-test settings-save-loop)
add_test(NAME settings_kill_test COMMAND settings-kill-test --kills 50)
set_tests_properties(settings_kill_test PROPERTIES TIMEOUT 300 LABELS core)
