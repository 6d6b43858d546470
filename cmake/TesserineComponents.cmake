# How the engine's folders become components and components become the libraries an application
# links. A component is an object library with its own usage requirements, so it compiles against
# nothing it does not declare; a back-end set is one static library holding the core, the runner,
# the headless pair, the software renderer, one platform, one renderer, optionally one image
# decoder, and the generated default-set source that makes that platform, renderer and decoder the
# defaults.
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

# tesserine_backend_set(TARGET PLATFORM name RENDERER name [DECODER name])
# The library TARGET (alias dral::TARGET): the core, RunGame, the headless pair (for UseBackends),
# and the given platform, renderer and decoder, which become the defaults of Tesserine's
# constructor.
function(tesserine_backend_set target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "PLATFORM;RENDERER;DECODER" "")
  set(components core runner platform_headless renderer_headless renderer_software ${arg_PLATFORM}
                 ${arg_RENDERER} ${arg_DECODER})
  list(REMOVE_DUPLICATES components)

  set(SET_NAME "dral::${target}")
  set(SET_INCLUDES "#include \"assets/image_decoder.h\"\n")
  foreach(role PLATFORM RENDERER)
    set(objects tesserine_${arg_${role}}_objects)
    get_target_property(SET_${role} ${objects} TESSERINE_CLASS)
    get_target_property(header ${objects} TESSERINE_HEADER)
    string(APPEND SET_INCLUDES "#include \"${header}\"\n")
  endforeach()
  set(SET_DECODER nullptr)
  if(arg_DECODER)
    set(objects tesserine_${arg_DECODER}_objects)
    get_target_property(decoder ${objects} TESSERINE_DECODER)
    get_target_property(header ${objects} TESSERINE_HEADER)
    set(SET_DECODER "&${decoder}()")
    string(APPEND SET_INCLUDES "#include \"${header}\"\n")
  endif()
  set(source ${PROJECT_BINARY_DIR}/default_sets/${target}.cpp)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/default_set.cpp.in ${source} @ONLY)

  add_library(${target} STATIC ${source})
  add_library(dral::${target} ALIAS ${target})
  target_link_libraries(${target} PUBLIC tesserine_usage)
  tesserine_link_components(${target} ${components})
  tesserine_install_library(${target})
endfunction()
