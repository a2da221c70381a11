# One INTERFACE target carries the language standard, the warnings and the sanitizers for every target.
option(PARLINO_WERROR "Treat compiler warnings as errors" OFF)
set(PARLINO_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined")

# The lint gate (scripts/lint.sh) reads the compile commands of the ordinary build.
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

add_library(parlino_common INTERFACE)
target_compile_features(parlino_common INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(parlino_common INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough)
target_compile_definitions(parlino_common INTERFACE QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
if(PARLINO_WERROR)
    target_compile_options(parlino_common INTERFACE -Werror)
endif()
if(PARLINO_SANITIZE)
    target_compile_options(parlino_common INTERFACE
        -fsanitize=${PARLINO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(parlino_common INTERFACE -fsanitize=${PARLINO_SANITIZE})
endif()
# Production code: text moves between OEM code pages, UTF-8 files and QString, so every conversion is spelled out.
# Concatenations build one string instead of a temporary per '+', and Qt's macros keep their Q_ names so that
# 'signals', 'slots' and 'emit' stay ordinary identifiers.
add_library(parlino_strict_text INTERFACE)
target_compile_definitions(parlino_strict_text INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
    QT_USE_QSTRINGBUILDER QT_NO_KEYWORDS)
target_include_directories(parlino_common INTERFACE "${PROJECT_SOURCE_DIR}")
