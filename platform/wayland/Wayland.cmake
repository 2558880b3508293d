# The Wayland platform: wayland-client, and the client code of two protocols:
# xdg-output (from Debian's wayland-protocols) and wlr-screencopy (its
# definition is kept in protocol/, as Debian ships it in no package of its
# own).
include(WaylandProtocols)
target_sources(platform PRIVATE
    wayland/KWinScreenShot.cpp
    wayland/PortalScreenshot.cpp
    wayland/PortalShortcut.cpp
    wayland/WaylandLayout.cpp
    wayland/WaylandPlatform.cpp
    wayland/WaylandScreen.cpp)
tirelma_wayland_protocols(platform
    ${WAYLAND_PROTOCOLS_DIR}/unstable/xdg-output/xdg-output-unstable-v1.xml
    ${CMAKE_CURRENT_SOURCE_DIR}/wayland/protocol/wlr-screencopy-unstable-v1.xml)
target_include_directories(platform PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/wayland)
target_link_libraries(platform PRIVATE Qt6::GuiPrivate)
