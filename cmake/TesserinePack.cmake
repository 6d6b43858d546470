# tesserine_add_pack: packs a game's assets into a resource pack at build time with
# tesserine-pack. Comes with the engine both ways: add_subdirectory and find_package(Tesserine).
#
# tesserine_add_pack(TARGET OUTPUT pack [ROOT dir] [KEY text | KEY_FILE file] FILES path...)
# Adds the target TARGET that writes `pack` (relative paths: in the current binary folder) from
# the FILES, each stored under its path from ROOT (default: the current source folder); a folder
# among them adds every file beneath it. A game depends on it with add_dependencies(game TARGET).
# The pack is rebuilt when a listed file, a file of a listed folder (as found at configure time)
# or the key file changes.
function(tesserine_add_pack target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "OUTPUT;ROOT;KEY;KEY_FILE" "FILES")
  if(NOT arg_OUTPUT OR NOT arg_FILES)
    message(FATAL_ERROR "tesserine_add_pack(${target}): OUTPUT and FILES are needed")
  endif()
  if(DEFINED arg_KEY AND DEFINED arg_KEY_FILE)
    message(FATAL_ERROR "tesserine_add_pack(${target}): give KEY or KEY_FILE, not both")
  endif()
  if(NOT arg_ROOT)
    set(arg_ROOT ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  cmake_path(ABSOLUTE_PATH arg_ROOT BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  cmake_path(ABSOLUTE_PATH arg_OUTPUT BASE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

  set(key_options "")
  set(depends "")
  if(DEFINED arg_KEY)
    set(key_options --key "${arg_KEY}")
  elseif(arg_KEY_FILE)
    cmake_path(ABSOLUTE_PATH arg_KEY_FILE BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
    set(key_options --key-file ${arg_KEY_FILE})
    list(APPEND depends ${arg_KEY_FILE})
  endif()
  set(names "")
  foreach(path IN LISTS arg_FILES)
    set(full ${path})
    cmake_path(ABSOLUTE_PATH full BASE_DIRECTORY ${arg_ROOT} NORMALIZE)
    cmake_path(RELATIVE_PATH full BASE_DIRECTORY ${arg_ROOT} OUTPUT_VARIABLE name)
    list(APPEND names ${name})
    if(IS_DIRECTORY ${full})
      file(GLOB_RECURSE found CONFIGURE_DEPENDS ${full}/*)
      list(APPEND depends ${found})
    else()
      list(APPEND depends ${full})
    endif()
  endforeach()

  cmake_path(GET arg_OUTPUT FILENAME pack_name)
  # A browser build's pack command is JavaScript, run by node, the first word of the emulator
  # (the rest are options of node's older releases, which newer ones refuse).
  set(command dral::tesserine-pack)
  if(EMSCRIPTEN)
    list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 node)
    set(command ${node} $<TARGET_FILE:dral::tesserine-pack>)
    list(APPEND depends dral::tesserine-pack)
  endif()
  add_custom_command(
    OUTPUT ${arg_OUTPUT}
    COMMAND ${command} create ${arg_OUTPUT} -C ${arg_ROOT} ${key_options} -- ${names}
    DEPENDS ${depends}
    COMMENT "Packing ${pack_name}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${arg_OUTPUT})
endfunction()
