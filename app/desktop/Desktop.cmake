# The desktop identity: the binary, the desktop entry (name, identifier and version) and the
# app mark in the hicolor sizes, installed by `cmake --install`. The Chinese string table is
# built into the binary; its compiled form is installed beside it for translators' tools.
include(GNUInstallDirs)
set(PINDLE_IDENTIFIER "com.lumora.Pindle")
set(PINDLE_DESKTOP_FILE ${CMAKE_CURRENT_BINARY_DIR}/Pindle.desktop)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/desktop/Pindle.desktop.in ${PINDLE_DESKTOP_FILE} @ONLY)

add_executable(pindle-make-icons ${CMAKE_CURRENT_SOURCE_DIR}/desktop/MakeIcons.cpp)
target_link_libraries(pindle-make-icons PRIVATE Qt6::Gui Qt6::Svg)
pindle_warnings(pindle-make-icons)
set(PINDLE_ICON_SVG ${CMAKE_CURRENT_SOURCE_DIR}/shell/resources/pindle.svg)
set(PINDLE_ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icons/hicolor)
set(PINDLE_ICON_SIZES 16 24 32 48 64 128 256 512)
set(PINDLE_ICON_PNGS)
foreach(size ${PINDLE_ICON_SIZES})
  list(APPEND PINDLE_ICON_PNGS ${PINDLE_ICON_DIR}/${size}x${size}/apps/pindle.png)
endforeach()
add_custom_command(OUTPUT ${PINDLE_ICON_PNGS}
                   COMMAND pindle-make-icons ${PINDLE_ICON_SVG} ${PINDLE_ICON_DIR}
                   DEPENDS pindle-make-icons ${PINDLE_ICON_SVG}
                   COMMENT "Rendering the app mark into the hicolor sizes")
add_custom_target(pindle-icons ALL DEPENDS ${PINDLE_ICON_PNGS})
# Building the application builds everything `cmake --install` installs, so the README's
# build (`--target pindle`) can be installed as well as a plain `cmake --build`.
add_dependencies(pindle pindle-icons)

install(TARGETS pindle RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PINDLE_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PINDLE_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size ${PINDLE_ICON_SIZES})
  install(FILES ${PINDLE_ICON_DIR}/${size}x${size}/apps/pindle.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
if(PINDLE_QM_FILES)
  install(FILES ${PINDLE_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/pindle/translations)
endif()
