# Windows resources for a game executable: its icon, version information, pictures and
# manifest from resources/windows. Call tessle_windows_resources(<target>).
function(tessle_windows_resources target)
  set(win_dir ${PROJECT_SOURCE_DIR}/resources/windows)
  set(rc ${win_dir}/tessle.rc)
  set(gen_dir ${CMAKE_CURRENT_BINARY_DIR}/windows)
  configure_file(${win_dir}/tessle_version.h.in ${gen_dir}/tessle_version.h @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # The resources folder itself: the script names the pictures as "pictures/..." and "icons/...".
  set_property(SOURCE ${rc} APPEND PROPERTY INCLUDE_DIRECTORIES
               ${win_dir} ${gen_dir} ${PROJECT_SOURCE_DIR}/resources)
  file(GLOB pictures ${PROJECT_SOURCE_DIR}/resources/pictures/*.png)
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS
               ${win_dir}/tessle.ico ${win_dir}/tessle.manifest ${win_dir}/resource_ids.h
               ${gen_dir}/tessle_version.h ${pictures}
               ${PROJECT_SOURCE_DIR}/resources/icons/smiley.png
               ${PROJECT_SOURCE_DIR}/resources/icons/smiley@2x.png
               ${PROJECT_SOURCE_DIR}/resources/icons/mail.png
               ${PROJECT_SOURCE_DIR}/resources/icons/mail@2x.png
               ${PROJECT_SOURCE_DIR}/resources/icons/tessle-128.png)
  if(MSVC)
    # The MSVC linker embeds (and merges) .manifest sources itself.
    target_sources(${target} PRIVATE ${win_dir}/tessle.manifest)
  else()
    # MinGW's linker knows no manifests: the resource script carries it.
    set_property(SOURCE ${rc} APPEND PROPERTY COMPILE_DEFINITIONS TESSLE_EMBED_MANIFEST)
  endif()
endfunction()
