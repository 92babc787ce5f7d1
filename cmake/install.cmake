# `cmake --install <build> --prefix <folder>` lays out a portable program
# folder: the executable at its top, with what it needs beside it. The
# program keeps spooling.ini and, by default, Dati.sdf in that same folder,
# so the folder must be one the operator can write to (not Program Files).
#
# Linux: the executable only; Qt 6 and SQLite come from the system's packages.
# Windows with a static Qt (the MinGW cross build): the executable and the
# database maker, each holding Qt, its plugins and the compiler's run time,
# with LICENSE, THIRD-PARTY.md and LEGGIMI.txt; CPack packs that folder as
# Tastalo-<version>-win32.zip (Tastalo-<version>-win64.zip for 64-bit).
# Windows with a shared Qt (the MSVC build): the executable, the DLLs of the
# imported libraries it links (Qt, SQLite), Qt's plugins through Qt's
# deployment script (windeployqt), and the compiler's run-time DLLs.
if(NOT TARGET tastalo)
  return()
endif()

# Only this component goes into the program folder, not the install rules of
# libraries built along with the program (SQLiteCpp's headers, say).
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME Program)
install(TARGETS tastalo RUNTIME DESTINATION .)
if(WIN32 AND TARGET tastalo-makedb)
  # Beside the program, so an operator can convert a SQL Server Compact file
  # into SQLite (--from-compact), where Tastalo can delete lists.
  install(TARGETS tastalo-makedb RUNTIME DESTINATION .)
endif()
if(WIN32)
  # The licence, the third-party notices (Qt and the rest are linked into
  # the executables) and the operator's short guide, in Italian.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/THIRD-PARTY.md
                ${PROJECT_SOURCE_DIR}/docs/LEGGIMI.txt DESTINATION .)
endif()

get_target_property(tastalo_qt_type Qt6::Core TYPE)
if(WIN32 AND NOT tastalo_qt_type STREQUAL "STATIC_LIBRARY")
  # Shared libraries of imported targets, e.g. sqlite3.dll from vcpkg, which
  # windeployqt does not copy because they are not Qt's.
  install(FILES $<TARGET_RUNTIME_DLLS:tastalo> DESTINATION .)

  # Visual C++ run time beside the executable, so no redistributable
  # installer is needed on the operator's machine.
  set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION .)
  set(CMAKE_INSTALL_UCRT_LIBRARIES ON)
  include(InstallRequiredSystemLibraries)

  # MSVC's run time comes from InstallRequiredSystemLibraries above; with
  # MinGW, windeployqt copies libgcc, libstdc++ and winpthread itself.
  set(tastalo_compiler_runtime "")
  if(MSVC)
    set(tastalo_compiler_runtime NO_COMPILER_RUNTIME)
  endif()

  if(COMMAND qt_generate_deploy_script)
    # Qt 6.5 and later: windeployqt with the folder laid out as below; qt.conf
    # tells Qt that its plugins are in plugins/ beside the executable.
    qt_generate_deploy_script(
      TARGET tastalo
      OUTPUT_SCRIPT tastalo_deploy_script
      CONTENT "
set(QT_DEPLOY_BIN_DIR .)
qt_deploy_runtime_dependencies(
  EXECUTABLE $<TARGET_FILE_NAME:tastalo>
  BIN_DIR .
  LIB_DIR .
  PLUGINS_DIR plugins
  GENERATE_QT_CONF
  NO_TRANSLATIONS
  ${tastalo_compiler_runtime})
")
    install(SCRIPT ${tastalo_deploy_script})
  else()
    install(CODE "message(WARNING \"This Qt has no deployment script (Qt 6.5 or later has): run windeployqt on \${CMAKE_INSTALL_PREFIX}/$<TARGET_FILE_NAME:tastalo> to add Qt's plugins.\")")
  endif()
endif()

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Tastalo)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(CPACK_PACKAGE_FILE_NAME "Tastalo-${PROJECT_VERSION}-win32")
  else()
    set(CPACK_PACKAGE_FILE_NAME "Tastalo-${PROJECT_VERSION}-win64")
  endif()
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Program;/")
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endif()
