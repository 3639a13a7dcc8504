# Installation rules and packaging.
install(TARGETS tessle RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
