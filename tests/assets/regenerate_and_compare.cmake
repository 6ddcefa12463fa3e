# Runs generate_art.py into a scratch folder and compares every file it writes, the four
# bitmaps and the icons, byte for byte with the committed one. Arguments: PYTHON,
# ASSETS_DIR, OUT_DIR.
file(REMOVE_RECURSE "${OUT_DIR}")
file(MAKE_DIRECTORY "${OUT_DIR}")
execute_process(COMMAND "${PYTHON}" "${ASSETS_DIR}/generate_art.py" "${OUT_DIR}"
                RESULT_VARIABLE generate_result)
if(NOT generate_result EQUAL 0)
  message(FATAL_ERROR "generate_art.py failed: ${generate_result}")
endif()

set(files backimage.bmp strings.bmp menu.bmp character.bmp icons/orvendal.ico)
foreach(size 16 32 48 64 128 256)
  list(APPEND files icons/orvendal-${size}.png)
endforeach()
# Nothing else: a file the script no longer writes must not stay committed unnoticed.
file(GLOB_RECURSE written RELATIVE "${OUT_DIR}" "${OUT_DIR}/*")
list(SORT written)
set(expected ${files})
list(SORT expected)
if(NOT written STREQUAL expected)
  message(FATAL_ERROR "generate_art.py wrote ${written}, not ${expected}")
endif()

set(changed "")
foreach(name ${files})
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${ASSETS_DIR}/${name}"
                          "${OUT_DIR}/${name}" RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND changed "${name}")
  endif()
endforeach()
list(LENGTH files count)
if(changed)
  message(FATAL_ERROR "generate_art.py does not reproduce the committed ${changed}; "
                      "run it and commit the files it writes")
endif()
message(STATUS "generate_art.py reproduces all ${count} files")
