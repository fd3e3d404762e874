# Builds and runs tests/consumer against Brusk (cmake -P).
#   MODE=installed     installs BRUSK_BUILD_DIR into WORK_DIR/prefix, then find_package
#   MODE=subdirectory  adds BRUSK_SOURCE_DIR to the consumer with add_subdirectory
# Also: CONSUMER_DIR, WORK_DIR, GENERATOR, CXX_COMPILER, BUILD_TYPE.
cmake_minimum_required(VERSION 3.21)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "failed (${status}): ${command}\n${out}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(configure ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
  -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DCMAKE_BUILD_TYPE=${BUILD_TYPE})
if(MODE STREQUAL "installed")
  run(${CMAKE_COMMAND} --install ${BRUSK_BUILD_DIR} --prefix ${WORK_DIR}/prefix --config ${BUILD_TYPE})
  if(NOT EXISTS ${WORK_DIR}/prefix/lib/cmake/Brusk/BruskConfig.cmake
     AND NOT EXISTS ${WORK_DIR}/prefix/lib64/cmake/Brusk/BruskConfig.cmake)
    file(GLOB_RECURSE found ${WORK_DIR}/prefix/*BruskConfig.cmake)
    if(NOT found)
      message(FATAL_ERROR "the install wrote no BruskConfig.cmake")
    endif()
  endif()
  # The README's account of the install: the program too, where this build made it.
  if(EXISTS ${BRUSK_BUILD_DIR}/cli/brusk AND NOT EXISTS ${WORK_DIR}/prefix/bin/brusk)
    message(FATAL_ERROR "the install wrote no bin/brusk, which README.md says it installs")
  endif()
  run(${configure} -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
elseif(MODE STREQUAL "subdirectory")
  run(${configure} -DBRUSK_SOURCE_DIR=${BRUSK_SOURCE_DIR})
else()
  message(FATAL_ERROR "MODE must be installed or subdirectory, not '${MODE}'")
endif()
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build --config ${BUILD_TYPE} --target brusk_consumer -j 2)

file(GLOB_RECURSE program ${WORK_DIR}/build/brusk_consumer ${WORK_DIR}/build/brusk_consumer.exe)
if(NOT program)
  message(FATAL_ERROR "no brusk_consumer program under ${WORK_DIR}/build")
endif()
list(GET program 0 program)
run(${program})
message(STATUS "${run_output}")
if(NOT run_output MATCHES "decrement factor 0\\.51[0-9]+\ncatalogue yes")
  message(FATAL_ERROR "unexpected output of brusk_consumer:\n${run_output}")
endif()
