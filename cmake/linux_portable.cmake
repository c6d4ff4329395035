# The portable Linux build (QC_PORTABLE, see scripts/linux): the program finds the libraries
# carried in lib/ beside it, and target tarball packs the folder a user unpacks anywhere
# (cmake/pack_linux_portable.cmake). Included by the top CMakeLists.txt.

# DT_RPATH, not DT_RUNPATH: it also serves the libraries and plugins loaded after the
# program (Debian's carry no run path of their own), and comes before LD_LIBRARY_PATH, so
# another Qt on the machine is never mixed in. Stripped: the symbols are of no use to a user.
set_target_properties(quillcount PROPERTIES BUILD_RPATH "$ORIGIN/lib")
target_link_options(quillcount PRIVATE -Wl,--disable-new-dtags -s)

set(qc_portable_name quillcount-${PROJECT_VERSION}-linux-x86_64)
set(qc_portable ${PROJECT_BINARY_DIR}/${qc_portable_name})
file(GLOB qc_portable_data CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/linux/*)
add_custom_command(OUTPUT ${qc_portable}.tar.gz ${qc_portable}.system-packages
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:quillcount>
            -DPLUGIN_FOLDER=${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}
            -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DVERSION=${PROJECT_VERSION}
            -DFOLDER=${qc_portable} -P ${PROJECT_SOURCE_DIR}/cmake/pack_linux_portable.cmake
    DEPENDS quillcount ${PROJECT_SOURCE_DIR}/cmake/pack_linux_portable.cmake ${qc_portable_data}
            ${PROJECT_SOURCE_DIR}/data/quillcount.svg
            ${PROJECT_SOURCE_DIR}/data/net.quillcount.Quillcount.desktop.in
    COMMENT "Packing ${qc_portable_name}.tar.gz"
    VERBATIM)
add_custom_target(tarball DEPENDS ${qc_portable}.tar.gz)
