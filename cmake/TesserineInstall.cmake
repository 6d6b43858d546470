# The install tree (when TESSERINE_INSTALL is on): headers under include/tesserine/ (engine/x.h
# becomes include/tesserine/engine/x.h), the libraries, the CMake package and one pkg-config file
# per back-end set. The build tree gets forwarding headers of the same names in build/include, so
# #include <tesserine/...> works the same through add_subdirectory.

# Every installed header, by its path from the source root.
set(installed_headers "")
get_property(libraries GLOBAL PROPERTY TESSERINE_LIBRARIES)
foreach(library IN LISTS libraries)
  get_target_property(components ${library} TESSERINE_COMPONENTS)
  foreach(name IN LISTS components)
    get_target_property(dirs tesserine_${name}_objects TESSERINE_HEADER_DIRS)
    foreach(dir IN LISTS dirs)
      file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS ${dir}/*.h)
      list(APPEND installed_headers ${headers})
    endforeach()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES installed_headers)
foreach(header IN LISTS installed_headers)
  get_filename_component(folder ${header} DIRECTORY)
  if(TESSERINE_INSTALL)
    install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tesserine/${folder})
  endif()
  set(forward "// Forwards <tesserine/${header}> to the source tree.\n#pragma once\n")
  string(APPEND forward "#include \"${PROJECT_SOURCE_DIR}/${header}\"\n")
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/include/tesserine/${header} CONTENT "${forward}")
endforeach()

if(NOT TESSERINE_INSTALL)
  return()
endif()
install(TARGETS tesserine_usage EXPORT TesserineTargets)
set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Tesserine)
install(EXPORT TesserineTargets NAMESPACE dral:: DESTINATION ${package_dir})
get_property(dependencies GLOBAL PROPERTY TESSERINE_DEPENDENCIES)
list(REMOVE_DUPLICATES dependencies)
list(JOIN dependencies "\n" TESSERINE_FIND_DEPENDENCIES)
configure_file(${CMAKE_CURRENT_LIST_DIR}/TesserineConfig.cmake.in
               ${PROJECT_BINARY_DIR}/TesserineConfig.cmake @ONLY)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TesserineConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TesserineConfig.cmake
              ${PROJECT_BINARY_DIR}/TesserineConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/TesserinePack.cmake
              ${CMAKE_CURRENT_LIST_DIR}/TesserineWebPage.cmake
              ${CMAKE_CURRENT_LIST_DIR}/web_shell.html DESTINATION ${package_dir})

# tesserine.pc for dral::tesserine, tesserine-headless.pc for dral::tesserine_headless.
foreach(library tesserine tesserine_headless)
  string(REPLACE "_" "-" pc_file ${library})
  set(PC_NAME "Tesserine")
  set(PC_DESCRIPTION "Tesserine 2-D engine with its default back-ends")
  if(library STREQUAL "tesserine_headless")
    set(PC_DESCRIPTION "Tesserine 2-D engine on back-ends without a display")
  endif()
  set(PC_LIBRARY ${library})
  get_target_property(modules ${library} TESSERINE_PKGCONFIG)
  if(NOT modules)
    set(modules "")
  endif()
  list(REMOVE_DUPLICATES modules)
  list(JOIN modules " " PC_REQUIRES)
  # Plain system libraries (the Windows ones) go on the link line as they are.
  set(PC_LIBS "")
  get_target_property(links ${library} LINK_LIBRARIES)
  list(REMOVE_DUPLICATES links)
  foreach(link IN LISTS links)
    if(NOT link MATCHES "::|^tesserine_")
      string(APPEND PC_LIBS " -l${link}")
    endif()
  endforeach()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/tesserine.pc.in
                 ${PROJECT_BINARY_DIR}/pkgconfig/${pc_file}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${pc_file}.pc
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
