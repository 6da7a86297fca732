# Every external library the system links, found once for all targets.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(GTest REQUIRED)
find_package(benchmark QUIET)
find_package(PNG REQUIRED)
find_package(ZLIB REQUIRED)
find_package(Freetype REQUIRED)

pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(AGG REQUIRED IMPORTED_TARGET libagg)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libswresample libavutil)

# TinyXML ships no pkg-config file; Debian builds it with its standard-string option.
find_path(TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
find_library(TINYXML_LIBRARY tinyxml REQUIRED)
add_library(TinyXml INTERFACE)
target_include_directories(TinyXml INTERFACE ${TINYXML_INCLUDE_DIR})
target_link_libraries(TinyXml INTERFACE ${TINYXML_LIBRARY})
target_compile_definitions(TinyXml INTERFACE TIXML_USE_STL)

# AGG's FreeType font engine is a separate static library in Debian's package.
find_library(AGG_FONT_FREETYPE_LIBRARY aggfontfreetype)
add_library(AggFreeType INTERFACE)
# Static archives: the font engine must come before the AGG core it uses.
if(AGG_FONT_FREETYPE_LIBRARY)
  target_link_libraries(AggFreeType INTERFACE ${AGG_FONT_FREETYPE_LIBRARY})
endif()
target_link_libraries(AggFreeType INTERFACE PkgConfig::AGG Freetype::Freetype)
