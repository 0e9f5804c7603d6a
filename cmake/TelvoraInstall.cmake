# Install rules: headers, the library, an exported CMake package
# (find_package(Telvora) -> Telvora::telvora) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/telvora
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.hpp")

install(TARGETS telvora EXPORT TelvoraTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(TELVORA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Telvora)
install(EXPORT TelvoraTargets
  NAMESPACE Telvora::
  FILE TelvoraTargets.cmake
  DESTINATION ${TELVORA_CMAKE_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TelvoraConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TelvoraConfig.cmake
  INSTALL_DESTINATION ${TELVORA_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TelvoraConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/TelvoraConfig.cmake
  ${PROJECT_BINARY_DIR}/TelvoraConfigVersion.cmake
  DESTINATION ${TELVORA_CMAKE_DIR})

# The .pc file finds its prefix from where it lies, so an install moved to
# another prefix (cmake --install --prefix) still works.
file(RELATIVE_PATH TELVORA_PC_TO_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
set(TELVORA_PC_PREFIX "\${pcfiledir}/${TELVORA_PC_TO_PREFIX}")
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(TELVORA_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/telvora.pc.in ${PROJECT_BINARY_DIR}/telvora.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/telvora.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
