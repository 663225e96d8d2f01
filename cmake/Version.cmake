# Tallyon's one version is the project version in the top CMakeLists.txt.
# From it this file generates, in the build tree:
#   generated/TallyonVersion.h  the version as macros, for C++ and resources
#   generated/VersionInfo.rc    the version resource both programs include
#   tallyon-version.txt         the version alone, for scripts/package
# Targets that need them link tallyon_version.
set(TALLYON_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/TallyonVersion.h.in ${TALLYON_GENERATED_DIR}/TallyonVersion.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/VersionInfo.rc.in ${TALLYON_GENERATED_DIR}/VersionInfo.rc @ONLY)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/tallyon-version.txt CONTENT "@PROJECT_VERSION@\n" @ONLY)

add_library(tallyon_version INTERFACE)
target_include_directories(tallyon_version INTERFACE ${TALLYON_GENERATED_DIR})

# Tallyon's application manifest names the version as well.
set(TALLYON_VERSION_DOTTED ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
configure_file(${CMAKE_SOURCE_DIR}/app/resources/Tallyon.manifest.in ${TALLYON_GENERATED_DIR}/Tallyon.manifest @ONLY)

# The build does not see what a resource script includes (the manifest, the
# dialogs of ParamDlg.rc, the icons): a change to any of them must rebuild
# the resources that carry it.
set(TALLYON_MANIFEST ${TALLYON_GENERATED_DIR}/Tallyon.manifest)
set(TALLYON_RC_INCLUDES ${TALLYON_MANIFEST} ${CMAKE_SOURCE_DIR}/app/resources/ParamDlg.rc
  ${CMAKE_SOURCE_DIR}/app/ParamDlgRes.h ${CMAKE_SOURCE_DIR}/app/TallyonRes.h
  ${CMAKE_SOURCE_DIR}/app/resources/tallyon.ico ${CMAKE_SOURCE_DIR}/app/resources/valid.ico
  ${CMAKE_SOURCE_DIR}/app/resources/error.ico)
function(tallyon_rc_rebuilds rc_file)
  set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS "${ARGN}")
endfunction()
