# Runs generate_art.py into a scratch folder and compares every bitmap byte for byte with
# the committed one. Arguments: PYTHON, ASSETS_DIR, OUT_DIR.
file(REMOVE_RECURSE "${OUT_DIR}")
file(MAKE_DIRECTORY "${OUT_DIR}")
execute_process(COMMAND "${PYTHON}" "${ASSETS_DIR}/generate_art.py" "${OUT_DIR}"
                RESULT_VARIABLE generate_result)
if(NOT generate_result EQUAL 0)
  message(FATAL_ERROR "generate_art.py failed: ${generate_result}")
endif()

set(changed "")
foreach(name backimage strings menu character)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${ASSETS_DIR}/${name}.bmp"
                          "${OUT_DIR}/${name}.bmp" RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND changed "${name}.bmp")
  endif()
endforeach()
if(changed)
  message(FATAL_ERROR "generate_art.py does not reproduce the committed ${changed}; "
                      "run it and commit the bitmaps it writes")
endif()
message(STATUS "generate_art.py reproduces all four bitmaps")
