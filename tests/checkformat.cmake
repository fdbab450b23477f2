# Fails when a C++ source of the project is not formatted as .clang-format says.
file(GLOB_RECURSE sources
  ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/app/*.h
  ${SOURCE_DIR}/view/*.cpp ${SOURCE_DIR}/view/*.h
  ${SOURCE_DIR}/device/*.cpp ${SOURCE_DIR}/device/*.h
  ${SOURCE_DIR}/store/*.cpp ${SOURCE_DIR}/store/*.h
  ${SOURCE_DIR}/session/*.cpp ${SOURCE_DIR}/session/*.h
  ${SOURCE_DIR}/dist/*.cpp ${SOURCE_DIR}/bench/*.cpp
  ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Sources need clang-format:\n${errors}")
endif()
