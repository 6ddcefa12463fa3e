# Include roots that show a target's own folders and nothing else.
#
# Headers are included by their folder, as in "display/display.h". Rather than putting
# a common parent folder on the include path, which would let any file include any
# other, each target gets an include root of its own in the build tree holding links
# to its folders only. A folder's headers are then found by its own target and by the
# targets that link it, and by nothing else: a file that includes a header of a floor
# above its own fails to build.
#
#   orv_target_folders(<target> <PUBLIC|PRIVATE|INTERFACE> [BASE <dir>] <folder>...)
#
# <folder> is relative to BASE (default: the project's source folder) and keeps that
# relative name on the include root: BASE platform with folder hosts/sdl makes
# "hosts/sdl/sdl_host.h" includable.
function(orv_target_folders target visibility)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "BASE" "")
  if(NOT arg_BASE)
    set(arg_BASE ${PROJECT_SOURCE_DIR})
  endif()
  set(root ${CMAKE_BINARY_DIR}/include_roots/${target})
  foreach(folder ${arg_UNPARSED_ARGUMENTS})
    set(source ${arg_BASE}/${folder})
    if(NOT IS_DIRECTORY ${source})
      message(FATAL_ERROR "orv_target_folders(${target}): no folder ${source}")
    endif()
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${source} ${root}/${folder} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${visibility} ${root})
endfunction()
