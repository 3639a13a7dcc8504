# Windows application settings for the game executable: a GUI program (no console; Qt supplies
# WinMain), with its icon, version information and manifest from resources/windows.
set_target_properties(tessle PROPERTIES WIN32_EXECUTABLE ON)

set(_tessle_win_dir ${PROJECT_SOURCE_DIR}/resources/windows)
set(_tessle_rc ${_tessle_win_dir}/tessle.rc)
configure_file(${_tessle_win_dir}/tessle_version.h.in
               ${CMAKE_CURRENT_BINARY_DIR}/windows/tessle_version.h @ONLY)
target_sources(tessle PRIVATE ${_tessle_rc})
set_property(SOURCE ${_tessle_rc} APPEND PROPERTY INCLUDE_DIRECTORIES
             ${_tessle_win_dir} ${CMAKE_CURRENT_BINARY_DIR}/windows)
set_property(SOURCE ${_tessle_rc} APPEND PROPERTY OBJECT_DEPENDS
             ${_tessle_win_dir}/tessle.ico ${_tessle_win_dir}/tessle.manifest
             ${CMAKE_CURRENT_BINARY_DIR}/windows/tessle_version.h)
if(MSVC)
  # The MSVC linker embeds (and merges) .manifest sources itself.
  target_sources(tessle PRIVATE ${_tessle_win_dir}/tessle.manifest)
else()
  # MinGW's linker knows no manifests: the resource script carries it.
  set_property(SOURCE ${_tessle_rc} APPEND PROPERTY COMPILE_DEFINITIONS TESSLE_EMBED_MANIFEST)
endif()
