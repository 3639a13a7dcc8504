# The Windows zip: tessle.exe with the pictures' licence and a short read-me, made by
# `cpack -G ZIP` in the cross build (scripts/build-windows).
install(TARGETS tessle RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/resources/pictures/LICENSE DESTINATION .
        RENAME PICTURES-LICENSE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/resources/windows/README.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_tessle_arch win64)
else()
  set(_tessle_arch win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tessle)
set(CPACK_PACKAGE_VENDOR KORVANEL)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tessle-${PROJECT_VERSION}-${_tessle_arch})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Only the game: the test programs' rules (GoogleTest) install nothing here.
set(CPACK_COMPONENTS_ALL Unspecified)
include(CPack)
