# Configures the project twice without building it and reads the compile commands: the
# plain configuration must not turn warnings into errors, ARTI_WERROR=ON must.
function(configure_and_read name option out)
  set(dir "${WORK}/${name}")
  file(REMOVE_RECURSE "${dir}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE}" -B "${dir}" -G Ninja
                          -DARTI_BUILD_GUI=OFF -DARTI_BUILD_BENCHMARKS=OFF ${option}
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "configuring ${name} failed: ${result}")
  endif()
  file(READ "${dir}/compile_commands.json" commands)
  set(${out} "${commands}" PARENT_SCOPE)
endfunction()

configure_and_read(plain "" plain)
configure_and_read(strict "-DARTI_WERROR=ON" strict)
string(FIND "${plain}" "-Werror" plainAt)
string(FIND "${strict}" "-Werror" strictAt)
string(FIND "${plain}" "-Wall" wallAt)
if(NOT plainAt EQUAL -1)
  message(FATAL_ERROR "a plain build compiles with -Werror")
endif()
if(strictAt EQUAL -1 OR wallAt EQUAL -1)
  message(FATAL_ERROR "ARTI_WERROR=ON does not compile with -Werror, or warnings are off")
endif()
message(STATUS "plain build: warnings shown; ARTI_WERROR=ON: warnings are errors")
