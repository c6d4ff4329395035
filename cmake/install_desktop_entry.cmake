# Runs at install time, so that the menu entry points at the prefix actually chosen
# (cmake --install --prefix ...), not the one configured.
set(QC_EXECUTABLE "${CMAKE_INSTALL_PREFIX}/${QC_INSTALL_DIR}/quillcount")
configure_file("${QC_SOURCE_DIR}/data/net.quillcount.Quillcount.desktop.in"
               "${QC_BINARY_DIR}/net.quillcount.Quillcount.desktop" @ONLY)
file(INSTALL "${QC_BINARY_DIR}/net.quillcount.Quillcount.desktop"
     DESTINATION "${CMAKE_INSTALL_PREFIX}/${QC_DATA_DIR}/applications")
