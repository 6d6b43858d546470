# tesserine_web_sounds(TARGET NAME...): the page of TARGET decodes the named sound files (paths
# relative to the page, as the program loads them) before the program starts, so that the engine
# loads them as any sound; see audio_web_sounds.js. The files themselves go beside the page.
function(tesserine_web_sounds target)
  list(TRANSFORM ARGN PREPEND "'")
  list(TRANSFORM ARGN APPEND "'")
  list(JOIN ARGN ", " names)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_sounds.js)
  file(GENERATE OUTPUT ${script} CONTENT "Module['tesserineSoundFiles'] = [${names}];\n")
  target_link_options(${target} PRIVATE "SHELL:--pre-js ${script}")
endfunction()
