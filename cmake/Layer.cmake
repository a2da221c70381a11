# parlino_layer(<target> LINKS ...): a static library of every source file in the calling folder.
function(parlino_layer target)
    cmake_parse_arguments(L "" "" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h"
         "${CMAKE_CURRENT_SOURCE_DIR}/*.qrc")
    add_library(${target} STATIC ${sources})
    target_link_libraries(${target} PUBLIC parlino_common ${L_LINKS})
    target_link_libraries(${target} PRIVATE parlino_strict_text)
endfunction()

# parlino_test_folder(<name> MAIN core|gui LIBS ...): one test executable of every source file in the calling folder.
function(parlino_test_folder name)
    cmake_parse_arguments(T "" "MAIN" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    parlino_add_test(NAME ${name} MAIN ${T_MAIN} SOURCES ${sources} LIBS ${T_LIBS})
endfunction()
