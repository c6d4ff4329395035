# What makes quillcount.exe a Windows program: no console, linked statically, stripped, with
# its icon, version and manifest as resources. Included by the top CMakeLists.txt for WIN32.

# No console window: the program starts at WinMain (Qt's entry point library supplies it).
set_target_properties(quillcount PROPERTIES WIN32_EXECUTABLE ON)
# Stripped: the symbols double the size of the file and are of no use to its user.
target_link_options(quillcount PRIVATE -s)

# The icon Windows shows for the file, drawn from the same SVG as the Linux icons, by the
# build machine's render_icon: sizes for lists (16, 24), icons (32, 48) and tiles (64, 256).
set(qc_ico ${CMAKE_CURRENT_BINARY_DIR}/windows/quillcount.ico)
add_custom_command(OUTPUT ${qc_ico}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/windows
    COMMAND render_icon ${PROJECT_SOURCE_DIR}/data/quillcount.svg ${qc_ico} 16,24,32,48,64,256
    DEPENDS render_icon ${PROJECT_SOURCE_DIR}/data/quillcount.svg
    VERBATIM)

# The version as Windows writes it, four numbers: 3.1 is 3,1,0,0 and 3.1.0.0.
set(qc_version ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR})
foreach(part PATCH TWEAK)
    if(PROJECT_VERSION_${part} STREQUAL "")
        list(APPEND qc_version 0)
    else()
        list(APPEND qc_version ${PROJECT_VERSION_${part}})
    endif()
endforeach()
list(JOIN qc_version "," QC_VERSION_COMMAS)
list(JOIN qc_version "." QC_VERSION_QUAD)
set(QC_ICON ${qc_ico})
set(QC_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/windows/quillcount.exe.manifest)
configure_file(data/windows/quillcount.exe.manifest ${QC_MANIFEST} @ONLY)
configure_file(data/windows/quillcount.rc.in ${CMAKE_CURRENT_BINARY_DIR}/windows/quillcount.rc @ONLY)
target_sources(quillcount PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/windows/quillcount.rc)
# The build does not see what the resource file names, the icon and the manifest: made
# first, and compiled again when they change.
add_custom_target(quillcount_resources DEPENDS ${qc_ico})
add_dependencies(quillcount quillcount_resources)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/windows/quillcount.rc
    TARGET_DIRECTORY quillcount PROPERTIES OBJECT_DEPENDS "${qc_ico};${QC_MANIFEST}")

# The portable zip: the program and a short read-me, side by side at the top, so that
# unpacking it into a folder of one's own puts the program there (target zip).
set(qc_zip ${PROJECT_BINARY_DIR}/quillcount-${PROJECT_VERSION}-windows-x86_64.zip)
set(qc_zip_dir ${CMAKE_CURRENT_BINARY_DIR}/windows/zip)
file(MAKE_DIRECTORY ${qc_zip_dir})
add_custom_command(OUTPUT ${qc_zip}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quillcount> ${qc_zip_dir}/quillcount.exe
    COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/data/windows/README.txt
            -DOUT=${qc_zip_dir}/README.txt -DVERSION=${PROJECT_VERSION}
            -P ${PROJECT_SOURCE_DIR}/cmake/crlf_text.cmake
    COMMAND ${CMAKE_COMMAND} -E rm -f ${qc_zip}
    COMMAND zip -q -X ${qc_zip} quillcount.exe README.txt
    WORKING_DIRECTORY ${qc_zip_dir}
    DEPENDS quillcount ${PROJECT_SOURCE_DIR}/data/windows/README.txt
            ${PROJECT_SOURCE_DIR}/cmake/crlf_text.cmake
    COMMENT "Packing quillcount-${PROJECT_VERSION}-windows-x86_64.zip"
    VERBATIM)
add_custom_target(zip DEPENDS ${qc_zip})
