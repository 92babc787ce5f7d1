# The Windows executable's own resources: the program's icon, its manifest
# and the version details Explorer shows, from the project's version
# (1.4.8 gives FILEVERSION 1,4,0,8 and the text "1.04.0008").

function(tastalo_zero_pad out value width)
  string(LENGTH "${value}" length)
  set(padded "${value}")
  if(length LESS width)
    math(EXPR missing "${width} - ${length}")
    string(REPEAT "0" ${missing} zeros)
    set(padded "${zeros}${value}")
  endif()
  set(${out} "${padded}" PARENT_SCOPE)
endfunction()

function(tastalo_add_windows_resources target)
  if(NOT TASTALO_ICON_FILE)
    message(FATAL_ERROR "TASTALO_ICON_FILE is not set: the program's icon must be generated before the Windows resources")
  endif()
  set(major ${PROJECT_VERSION_MAJOR})
  set(minor ${PROJECT_VERSION_MINOR})
  set(patch ${PROJECT_VERSION_PATCH})
  tastalo_zero_pad(minor_text ${minor} 2)
  tastalo_zero_pad(patch_text ${patch} 4)
  set(TASTALO_VERSION_QUAD "${major},${minor},0,${patch}")
  set(TASTALO_VERSION_QUAD_DOTS "${major}.${minor}.0.${patch}")
  set(TASTALO_VERSION_TEXT "${major}.${minor_text}.${patch_text}")
  # The manifest names the processor the executable is built for, as Windows'
  # side-by-side loader expects of an application's own manifest.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(TASTALO_MANIFEST_PROCESSOR x86)
  else()
    set(TASTALO_MANIFEST_PROCESSOR amd64)
  endif()

  set(folder ${CMAKE_CURRENT_BINARY_DIR}/generated/windows)
  set(TASTALO_MANIFEST_FILE ${folder}/tastalo.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/src/app/resources/tastalo.manifest ${TASTALO_MANIFEST_FILE} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/src/app/resources/tastalo.rc.in ${folder}/tastalo.rc @ONLY)
  target_sources(${target} PRIVATE ${folder}/tastalo.rc)
  # The resource compiler reads the icon and the manifest: rebuild when they change.
  set_source_files_properties(${folder}/tastalo.rc PROPERTIES
    OBJECT_DEPENDS "${TASTALO_ICON_FILE};${TASTALO_MANIFEST_FILE}")
endfunction()
