# The Windows program: a GUI-subsystem executable with its icon, version and
# the toolkit's manifest (common controls 6, DPI awareness), installed as one
# folder with its data files beside it, which the installer and the zip take.
enable_language(RC)
set_target_properties(kestrin-pro PROPERTIES WIN32_EXECUTABLE ON)

set(KESTRIN_ICON ${CMAKE_BINARY_DIR}/kestrin-pro.ico)
find_program(KESTRIN_CONVERT convert)
if(NOT KESTRIN_CONVERT)
  message(FATAL_ERROR "ImageMagick's convert is needed to make the program's icon")
endif()
add_custom_command(OUTPUT ${KESTRIN_ICON}
  COMMAND ${KESTRIN_CONVERT} ${CMAKE_SOURCE_DIR}/data/Logo.bmp -gravity center
    -background white -extent 150x150 -define icon:auto-resize=48,32,16 ${KESTRIN_ICON}
  DEPENDS ${CMAKE_SOURCE_DIR}/data/Logo.bmp VERBATIM)

string(REPLACE "." "," KESTRIN_VERSION_COMMAS "${PROJECT_VERSION}.0")
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/kestrin-pro.rc.in
  ${CMAKE_BINARY_DIR}/kestrin-pro.rc @ONLY)
target_sources(kestrin-pro PRIVATE ${CMAKE_BINARY_DIR}/kestrin-pro.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/kestrin-pro.rc PROPERTIES
  OBJECT_DEPENDS ${KESTRIN_ICON})

file(GLOB KESTRIN_WINDOWS_DATA CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*)
install(TARGETS kestrin-pro DESTINATION .)
install(FILES ${KESTRIN_WINDOWS_DATA} ${KESTRIN_ICON} DESTINATION .)
