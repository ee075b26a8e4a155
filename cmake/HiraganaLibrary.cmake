# hiragana_add_library(<target> ALIAS <Name> SOURCES <files…> [INCLUDE_DIRS <dirs…>] [LINK <args…>])
# A static library of the program, known to the rest of the build as Hiragana::<Name>. Its
# headers are found in INCLUDE_DIRS (the calling folder unless given); LINK takes what
# target_link_libraries() takes after the target.
function(hiragana_add_library target)
    cmake_parse_arguments(ARG "" "ALIAS" "SOURCES;INCLUDE_DIRS;LINK" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    add_library(Hiragana::${ARG_ALIAS} ALIAS ${target})
    if(NOT ARG_INCLUDE_DIRS)
        set(ARG_INCLUDE_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    target_include_directories(${target} PUBLIC ${ARG_INCLUDE_DIRS})
    if(ARG_LINK)
        target_link_libraries(${target} ${ARG_LINK})
    endif()
endfunction()
