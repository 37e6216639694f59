# wxWidgets 3.2 (GTK 3) with the web view, and WebKitGTK 4.0 for the calls wx does not wrap.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS webview core base)
include(${wxWidgets_USE_FILE})
find_package(PkgConfig REQUIRED)
pkg_check_modules(WEBKIT REQUIRED IMPORTED_TARGET webkit2gtk-4.0)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
pkg_check_modules(GTKUNIXPRINT REQUIRED IMPORTED_TARGET gtk+-unix-print-3.0)
pkg_check_modules(X11LIBS REQUIRED IMPORTED_TARGET x11 xtst xext)

# One interface target that carries the wx flags, so GUI libraries just link it.
add_library(quillory_wx INTERFACE)
target_link_libraries(quillory_wx INTERFACE ${wxWidgets_LIBRARIES})
