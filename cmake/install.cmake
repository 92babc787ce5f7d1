# `cmake --install <build> --prefix <folder>` lays out a portable program
# folder: the executable at its top, with what it needs beside it. The
# program keeps spooling.ini and, by default, Dati.sdf in that same folder,
# so the folder must be one the operator can write to (not Program Files).
#
# Linux: the executable only; Qt 6 and SQLite come from the system's packages.
# Windows: the executable, the DLLs of the imported libraries it links (Qt,
# SQLite), Qt's plugins through Qt's deployment script (windeployqt), and the
# compiler's run-time DLLs.
if(NOT TARGET tastalo)
  return()
endif()

install(TARGETS tastalo RUNTIME DESTINATION .)

if(WIN32)
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
