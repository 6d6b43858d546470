# tesserine_add_web_page: makes a game's executable a web page in a build configured with emcmake.
# Comes with the engine both ways: add_subdirectory and find_package(Tesserine).
#
# tesserine_add_web_page(TARGET [ASSETS path...] [SOUNDS name...] [SHELL file.html])
# Makes TARGET (an executable linking dral::tesserine) write TARGET.html beside its TARGET.js and
# TARGET.wasm, and, with ASSETS, TARGET.data: the files the program reads, preloaded into its
# file system before main runs. A folder among the ASSETS puts every file beneath it at the root
# of that file system, keeping their paths from the folder; a file goes to the root by its name;
# relative paths are from the current source folder. Images among them are decoded by the browser
# while the page loads, so Sprite::LoadImageFile reads them at once. SOUNDS names the compressed
# sound files (MP3, OGG; paths relative to the page, as the program loads them, the files beside
# the page) that the browser decodes before main runs, so that the engine loads them as any sound:
# the browser decodes only asynchronously, the engine loads at once. SHELL replaces the page
# around the canvas; it needs an element with the id "canvas" and {{{ SCRIPT }}}. Outside
# Emscripten the call does nothing, so a game's CMakeLists.txt may make it on every platform.
function(tesserine_add_web_page target)
  if(NOT EMSCRIPTEN)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "SHELL" "ASSETS;SOUNDS")
  if(NOT TARGET ${target})
    message(FATAL_ERROR "tesserine_add_web_page(${target}): no such target")
  endif()
  if(NOT arg_SHELL)
    set(arg_SHELL ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/web_shell.html)
  endif()
  cmake_path(ABSOLUTE_PATH arg_SHELL BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set(options --shell-file ${arg_SHELL} -sMINIFY_HTML=0)
  set(depends ${arg_SHELL})
  if(arg_ASSETS)
    list(APPEND options --use-preload-plugins)
  endif()
  foreach(path IN LISTS arg_ASSETS)
    cmake_path(ABSOLUTE_PATH path BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE)
    cmake_path(GET path FILENAME name)
    if(IS_DIRECTORY ${path})
      # A source folder is packed as found; its files are listed so that a change relinks.
      file(GLOB_RECURSE found CONFIGURE_DEPENDS ${path}/*)
      list(APPEND depends ${found})
      list(APPEND options "--preload-file=${path}@/")
    else()
      # A file may be made by the build (a resource pack): it is a dependency of the link.
      list(APPEND depends ${path})
      list(APPEND options "--preload-file=${path}@/${name}")
    endif()
  endforeach()
  if(arg_SOUNDS)
    list(TRANSFORM arg_SOUNDS PREPEND "'")
    list(TRANSFORM arg_SOUNDS APPEND "'")
    list(JOIN arg_SOUNDS ", " names)
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_sounds.js)
    file(GENERATE OUTPUT ${script} CONTENT "Module['tesserineSoundFiles'] = [${names}];\n")
    list(APPEND options "SHELL:--pre-js ${script}")
  endif()
  target_link_options(${target} PRIVATE ${options})
  set_target_properties(${target} PROPERTIES SUFFIX .html LINK_DEPENDS "${depends}")
endfunction()
