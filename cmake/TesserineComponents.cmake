# How the engine's folders become components and components become the libraries an application
# links. A component is an object library with its own usage requirements, so it compiles against
# nothing it does not declare; a back-end set is one static library holding the core, the runner,
# record and replay, the headless pair, the software renderer, the headless audio device, one
# platform, one renderer, optionally one image decoder, audio device and sound decoder, and the
# generated default-set source that makes them the defaults.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# tesserine_component(NAME SOURCES src... [LINK dep...] [PKGCONFIG module...]
#                     [CLASS BackendClass | DECODER DecoderFunction] [HEADER path/from/root.h])
# Adds the component NAME (target tesserine_NAME_objects) from the calling folder. LINK lists the
# libraries its code calls (propagated to the back-end sets); PKGCONFIG the pkg-config modules that
# stand for them in tesserine.pc; CLASS or DECODER with HEADER say what a back-end set makes of it.
function(tesserine_component name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "CLASS;DECODER;HEADER" "SOURCES;LINK;PKGCONFIG")
  set(target tesserine_${name}_objects)
  add_library(${target} OBJECT ${arg_SOURCES})
  target_link_libraries(${target} PUBLIC tesserine_usage ${arg_LINK})
  set_target_properties(${target} PROPERTIES
    TESSERINE_LINK "${arg_LINK}" TESSERINE_PKGCONFIG "${arg_PKGCONFIG}"
    TESSERINE_CLASS "${arg_CLASS}" TESSERINE_DECODER "${arg_DECODER}"
    TESSERINE_HEADER "${arg_HEADER}"
    TESSERINE_HEADER_DIRS "${CMAKE_CURRENT_SOURCE_DIR}")
  set_property(GLOBAL APPEND PROPERTY TESSERINE_COMPONENTS ${name})
endfunction()

# Adds the headers of another folder to a component (the core spans engine/ and assets/).
function(tesserine_component_folder name)
  set_property(TARGET tesserine_${name}_objects APPEND PROPERTY TESSERINE_HEADER_DIRS
               "${CMAKE_CURRENT_SOURCE_DIR}")
endfunction()

# tesserine_add_subfolders([EXCEPT name...])
# Adds every sub-folder of the calling folder that holds a CMakeLists.txt, in name order, so that a
# new example, test group, tool or benchmark needs no line anywhere else; EXCEPT names folders
# added elsewhere.
function(tesserine_add_subfolders)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "EXCEPT")
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${children})
    get_filename_component(name ${child} NAME)
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt AND NOT name IN_LIST arg_EXCEPT)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# find_package(ARGS REQUIRED), remembered so that the installed package finds the same for its
# consumers.
macro(tesserine_find_package)
  find_package(${ARGN} REQUIRED)
  string(REPLACE ";" " " tesserine_dependency "${ARGN}")
  set_property(GLOBAL APPEND PROPERTY TESSERINE_DEPENDENCIES
               "find_dependency(${tesserine_dependency})")
endmacro()

# The installed libraries: which components they hold, for headers, the package and pkg-config.
function(tesserine_install_library target)
  if(TESSERINE_INSTALL)
    install(TARGETS ${target} EXPORT TesserineTargets
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  endif()
  set_property(GLOBAL APPEND PROPERTY TESSERINE_LIBRARIES ${target})
endfunction()

# Links the objects of the named components into target, with their libraries as its own.
function(tesserine_link_components target)
  foreach(name IN LISTS ARGN)
    set(objects tesserine_${name}_objects)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:${objects}>)
    get_target_property(link ${objects} TESSERINE_LINK)
    get_target_property(modules ${objects} TESSERINE_PKGCONFIG)
    target_link_libraries(${target} PUBLIC ${link})
    set_property(TARGET ${target} APPEND PROPERTY TESSERINE_PKGCONFIG ${modules})
  endforeach()
  set_property(TARGET ${target} APPEND PROPERTY TESSERINE_COMPONENTS ${ARGN})
endfunction()

# tesserine_backend_set(TARGET PLATFORM name RENDERER name [FALLBACK name] [DECODER name]
#                       [AUDIO name] [SOUND_DECODER name])
# The library TARGET (alias dral::TARGET): the core, RunGame, record and replay, the headless pair
# (for UseBackends), the software renderer (RunGame's screenshots), the headless audio device, and
# the given platform, renderer, fallback renderer, image decoder, audio device and sound decoder,
# which become the defaults (without FALLBACK the engine has no renderer to turn to when the
# platform gives its own no GPU surface, without AUDIO it is silent, without SOUND_DECODER it reads
# WAV only).
function(tesserine_backend_set target)
  cmake_parse_arguments(PARSE_ARGV 1 arg ""
                        "PLATFORM;RENDERER;FALLBACK;DECODER;AUDIO;SOUND_DECODER" "")
  set(components core runner record platform_headless renderer_headless renderer_software
                 audio_headless ${arg_PLATFORM} ${arg_RENDERER} ${arg_FALLBACK} ${arg_DECODER}
                 ${arg_AUDIO}
                 ${arg_SOUND_DECODER})
  list(REMOVE_DUPLICATES components)

  set(SET_NAME "dral::${target}")
  set(SET_INCLUDES "#include \"assets/image_decoder.h\"\n")
  foreach(role PLATFORM RENDERER)
    set(objects tesserine_${arg_${role}}_objects)
    get_target_property(SET_${role} ${objects} TESSERINE_CLASS)
    get_target_property(header ${objects} TESSERINE_HEADER)
    string(APPEND SET_INCLUDES "#include \"${header}\"\n")
  endforeach()
  # The optional parts: a back-end class is made with make_unique, a decoder is the object its
  # function returns.
  foreach(role FALLBACK AUDIO DECODER SOUND_DECODER)
    set(SET_${role} nullptr)
    if(arg_${role})
      set(objects tesserine_${arg_${role}}_objects)
      get_target_property(class ${objects} TESSERINE_CLASS)
      get_target_property(decoder ${objects} TESSERINE_DECODER)
      get_target_property(header ${objects} TESSERINE_HEADER)
      # A component may be both a device and a decoder (the browser's audio): a decoder role takes
      # its decoder.
      if(decoder AND role MATCHES "DECODER$")
        set(SET_${role} "&${decoder}()")
      elseif(class)
        set(SET_${role} "std::make_unique<${class}>()")
      else()
        set(SET_${role} "&${decoder}()")
      endif()
      string(APPEND SET_INCLUDES "#include \"${header}\"\n")
    endif()
  endforeach()
  set(source ${PROJECT_BINARY_DIR}/default_sets/${target}.cpp)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/default_set.cpp.in ${source} @ONLY)

  add_library(${target} STATIC ${source})
  add_library(dral::${target} ALIAS ${target})
  target_link_libraries(${target} PUBLIC tesserine_usage)
  tesserine_link_components(${target} ${components})
  tesserine_install_library(${target})
endfunction()
