# wayland-client and the client code of Wayland protocols, made by
# wayland-scanner at build time:
#   tirelma_wayland_protocols(<target> <protocol.xml>...)
# adds the generated code to the target and links wayland-client.
# WAYLAND_PROTOCOLS_DIR is Debian's wayland-protocols folder.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
if(NOT WAYLAND_PROTOCOLS_DIR OR NOT WAYLAND_SCANNER)
    message(FATAL_ERROR "wayland-protocols and wayland-scanner are needed: scripts/install-deps.sh installs them")
endif()
enable_language(C)

function(tirelma_wayland_protocols target)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}-wayland)
    file(MAKE_DIRECTORY ${out})
    foreach(xml ${ARGN})
        get_filename_component(name ${xml} NAME_WE)
        add_custom_command(
            OUTPUT ${out}/${name}-client-protocol.h ${out}/${name}-protocol.c
            COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${out}/${name}-client-protocol.h
            COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${out}/${name}-protocol.c
            DEPENDS ${xml}
            VERBATIM)
        target_sources(${target} PRIVATE ${out}/${name}-client-protocol.h ${out}/${name}-protocol.c)
    endforeach()
    target_include_directories(${target} PRIVATE ${out})
    target_link_libraries(${target} PRIVATE PkgConfig::WAYLAND_CLIENT)
endfunction()
