# Makes the portable Linux folder and its tarball beside it: the program, the Qt plugins it
# uses, every library they load that is not the system's, the design's fonts, the licences
# of what is carried, and the launcher, menu script and read-me of data/linux/. Also writes
# <folder>.system-packages, the Debian packages of the system libraries the program loads,
# which scripts/linux makes its clean root of.
# cmake -DPROGRAM=<program> -DPLUGIN_FOLDER=<Qt's plugins> -DSOURCE_DIR=<top of the source>
#       -DVERSION=<version> -DFOLDER=<folder to make> -P pack_linux_portable.cmake
cmake_minimum_required(VERSION 3.25)

# Taken from the system: what every desktop has (README.md lists it for users). What these
# load in turn is the system's too and never carried, though nothing else may count on it:
# one copy of a library serves a whole process, so what the desktop's own GTK and OpenGL
# driver load beside Qt must be the versions they were built with. Everything else the
# program and its plugins load is carried.
set(system_libraries
    ld-linux-x86-64.so.2 libc.so.6 libm.so.6 libstdc++.so.6 libgcc_s.so.1  # C and C++
    # X11's client libraries
    libX11.so.6 libX11-xcb.so.1 libSM.so.6 libICE.so.6 libxkbcommon.so.0 libxcb.so.1
    libxcb-glx.so.0 libxcb-randr.so.0 libxcb-render.so.0 libxcb-shm.so.0 libxcb-sync.so.1
    libxcb-xfixes.so.0
    libwayland-client.so.0 libwayland-cursor.so.0 libwayland-egl.so.1  # Wayland's
    libfontconfig.so.1 libfreetype.so.6
    libEGL.so.1 libGLX.so.0 libOpenGL.so.0                    # OpenGL's dispatch,
    libEGL_mesa.so.0 libGLX_mesa.so.0                         # and the driver behind it
    libglib-2.0.so.0 libgobject-2.0.so.0 libdbus-1.so.3 libharfbuzz.so.0 libpng16.so.16
    libz.so.1 libzstd.so.1
    # GTK 3, for its theme where the desktop has it
    libgtk-3.so.0 libgdk-3.so.0 libpango-1.0.so.0 libgdk_pixbuf-2.0.so.0)
# X11 and Wayland, with OpenGL where a desktop asks for it; input methods (compose keys,
# IBus); the SVG icons of the desktop's icon theme.
set(plugins
    platforms/libqxcb.so platforms/libqwayland-generic.so platforms/libqwayland-egl.so
    xcbglintegrations/libqxcb-egl-integration.so xcbglintegrations/libqxcb-glx-integration.so
    wayland-shell-integration/libxdg-shell.so wayland-decoration-client/libbradient.so
    wayland-graphics-integration-client/libqt-plugin-wayland-egl.so
    platforminputcontexts/libcomposeplatforminputcontextplugin.so
    platforminputcontexts/libibusplatforminputcontextplugin.so
    iconengines/libqsvgicon.so imageformats/libqsvg.so)
# Loaded only where the desktop has GTK 3; elsewhere Qt's own look stands.
set(optional_plugins platformthemes/libqgtk3.so)
# The design's fonts are Liberation Sans and Mono, bold and regular (SIL OFL 1.1).
set(font_folder /usr/share/fonts/truetype/liberation2)
set(fonts LiberationSans-Regular LiberationSans-Bold LiberationMono-Regular LiberationMono-Bold)

function(names_of out)
    set(names)
    foreach(path IN LISTS ARGN)
        get_filename_component(name "${path}" NAME)
        list(APPEND names ${name})
    endforeach()
    list(REMOVE_DUPLICATES names)
    set(${out} ${names} PARENT_SCOPE)
endfunction()

# The libraries a set of files loads, each library once.
function(loaded_by out)
    file(GET_RUNTIME_DEPENDENCIES ${ARGN}
         RESOLVED_DEPENDENCIES_VAR found UNRESOLVED_DEPENDENCIES_VAR missing)
    if(missing)
        message(FATAL_ERROR "Libraries not found on this machine: ${missing}")
    endif()
    set(seen)
    set(unique)
    foreach(path IN LISTS found)
        get_filename_component(name "${path}" NAME)
        if(NOT name IN_LIST seen)
            list(APPEND seen ${name})
            list(APPEND unique ${path})
        endif()
    endforeach()
    set(${out} ${unique} PARENT_SCOPE)
endfunction()

# The Debian package that installed a file (merged /usr: it may know the path without /usr).
function(package_of path out)
    file(REAL_PATH "${path}" real)
    foreach(candidate "${real}" "${path}")
        string(REGEX REPLACE "^/usr/" "/" short "${candidate}")
        foreach(name "${candidate}" "${short}")
            execute_process(COMMAND dpkg-query -S "${name}" OUTPUT_VARIABLE owner
                            RESULT_VARIABLE status ERROR_QUIET)
            if(status EQUAL 0)
                string(REGEX REPLACE "[:,].*" "" owner "${owner}")
                set(${out} ${owner} PARENT_SCOPE)
                return()
            endif()
        endforeach()
    endforeach()
    message(FATAL_ERROR "No Debian package owns ${path}")
endfunction()

function(copy_file from to)
    get_filename_component(folder "${to}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${from}" "${to}")
    file(CHMOD "${to}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ ${ARGN})
endfunction()
set(executable OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)

list(TRANSFORM plugins PREPEND ${PLUGIN_FOLDER}/ OUTPUT_VARIABLE plugin_files)
list(TRANSFORM optional_plugins PREPEND ${PLUGIN_FOLDER}/ OUTPUT_VARIABLE optional_files)
loaded_by(needed EXECUTABLES "${PROGRAM}" MODULES ${plugin_files})
loaded_by(optionally_needed MODULES ${optional_files})

# The system's libraries are looked for where this machine keeps Qt's.
set(qt_core ${needed})
list(FILTER qt_core INCLUDE REGEX "/libQt6Core\\.so\\.[0-9]+$")
get_filename_component(library_folder "${qt_core}" DIRECTORY)
set(system_roots)
foreach(name IN LISTS system_libraries)
    if(NOT EXISTS "${library_folder}/${name}")
        message(FATAL_ERROR "${name} is not in ${library_folder}: install it (scripts/deps)")
    endif()
    list(APPEND system_roots "${library_folder}/${name}")
endforeach()
loaded_by(loaded_by_system LIBRARIES ${system_roots})
names_of(system_names ${system_roots} ${loaded_by_system})

set(carried)
set(from_system)
foreach(path IN LISTS needed optionally_needed)
    get_filename_component(name "${path}" NAME)
    if(NOT name IN_LIST system_names)
        list(APPEND carried ${path})
    elseif(path IN_LIST needed)
        list(APPEND from_system ${path})
    endif()
endforeach()

# A library that only this machine's system libraries happen to load (Debian's own choices)
# may be missing elsewhere: what the program, its plugins and the carried libraries load
# must be carried or listed.
names_of(carried_names ${carried})
set(known)
foreach(name IN LISTS carried_names system_libraries)
    string(REGEX REPLACE "([.+])" "\\\\\\1" name "${name}")
    list(APPEND known "^${name}$")
endforeach()
file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${PROGRAM}" MODULES ${plugin_files} ${optional_files}
     LIBRARIES ${carried} PRE_EXCLUDE_REGEXES ${known}
     RESOLVED_DEPENDENCIES_VAR unlisted UNRESOLVED_DEPENDENCIES_VAR unresolved)
if(unlisted OR unresolved)
    message(FATAL_ERROR "Loaded but neither carried nor listed as the system's: "
                        "${unlisted} ${unresolved}")
endif()

file(REMOVE_RECURSE "${FOLDER}")
copy_file("${PROGRAM}" "${FOLDER}/quillcount.bin" ${executable})
foreach(plugin IN LISTS plugins optional_plugins)
    copy_file("${PLUGIN_FOLDER}/${plugin}" "${FOLDER}/plugins/${plugin}")
endforeach()
set(licensed)
foreach(path IN LISTS carried)
    get_filename_component(name "${path}" NAME)
    copy_file("${path}" "${FOLDER}/lib/${name}")
    package_of("${path}" package)
    list(APPEND licensed ${package})
endforeach()
foreach(font IN LISTS fonts)
    copy_file("${font_folder}/${font}.ttf" "${FOLDER}/fonts/${font}.ttf")
endforeach()
list(GET fonts 0 font)
package_of("${font_folder}/${font}.ttf" package)
list(APPEND licensed ${package})
list(REMOVE_DUPLICATES licensed)
foreach(package IN LISTS licensed)
    copy_file("/usr/share/doc/${package}/copyright" "${FOLDER}/licences/${package}.copyright")
endforeach()

set(data ${SOURCE_DIR}/data)
copy_file("${data}/linux/quillcount" "${FOLDER}/quillcount" ${executable})
copy_file("${data}/linux/add-to-menu" "${FOLDER}/add-to-menu" ${executable})
copy_file("${data}/linux/qt.conf" "${FOLDER}/qt.conf")
copy_file("${data}/linux/fonts.conf" "${FOLDER}/fonts/fonts.conf")
configure_file("${data}/linux/README.txt" "${FOLDER}/README.txt" @ONLY)
copy_file("${data}/quillcount.svg" "${FOLDER}/share/net.quillcount.Quillcount.svg")
copy_file("${data}/net.quillcount.Quillcount.desktop.in"
          "${FOLDER}/share/net.quillcount.Quillcount.desktop.in")

set(system_packages)
foreach(path IN LISTS from_system)
    package_of("${path}" package)
    list(APPEND system_packages ${package})
endforeach()
list(REMOVE_DUPLICATES system_packages)
list(SORT system_packages)
list(JOIN system_packages "\n" system_packages)
file(WRITE "${FOLDER}.system-packages" "${system_packages}\n")

get_filename_component(parent "${FOLDER}" DIRECTORY)
get_filename_component(top "${FOLDER}" NAME)
execute_process(COMMAND tar --owner=0 --group=0 --numeric-owner --sort=name
                            -czf "${top}.tar.gz" "${top}"
                WORKING_DIRECTORY "${parent}" COMMAND_ERROR_IS_FATAL ANY)
list(LENGTH carried count)
file(SIZE "${FOLDER}.tar.gz" size)
math(EXPR megabytes "(${size} + 524288) / 1048576")
message(STATUS "${top}.tar.gz: ${megabytes} MB, ${count} libraries carried")
