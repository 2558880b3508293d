# The X11 misc bitmap fonts (Debian's xfonts-base) as BDF text, for the
# benchmark and the tests that read lines of real screen text. pcf2bdf
# converts them at build time; nothing is downloaded.
#
#   tirelma_bitmap_fonts(<target>)  makes <target> depend on the converted
#   fonts and defines TIRELMA_FONT_DIR, the folder that holds them.
set(TIRELMA_PCF_DIR "/usr/share/fonts/X11/misc" CACHE PATH "Folder of the X11 misc PCF fonts")
set(TIRELMA_BITMAP_FONTS 5x7 6x10 6x13 8x13 9x15 10x20)

function(tirelma_bitmap_fonts target)
    if(NOT TARGET bitmap_fonts)
        find_program(TIRELMA_PCF2BDF pcf2bdf NO_CMAKE_FIND_ROOT_PATH)
        if(NOT TIRELMA_PCF2BDF)
            message(FATAL_ERROR "pcf2bdf is missing (./scripts/install-deps.sh test installs it)")
        endif()
        set(dir ${CMAKE_BINARY_DIR}/fonts)
        set(outputs)
        foreach(font ${TIRELMA_BITMAP_FONTS})
            set(pcf ${TIRELMA_PCF_DIR}/${font}.pcf.gz)
            if(NOT EXISTS ${pcf})
                message(FATAL_ERROR "${pcf} is missing (./scripts/install-deps.sh test installs xfonts-base)")
            endif()
            add_custom_command(OUTPUT ${dir}/${font}.bdf
                COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                COMMAND ${TIRELMA_PCF2BDF} -o ${dir}/${font}.bdf ${pcf}
                DEPENDS ${pcf}
                COMMENT "Converting the ${font} bitmap font"
                VERBATIM)
            list(APPEND outputs ${dir}/${font}.bdf)
        endforeach()
        add_custom_target(bitmap_fonts DEPENDS ${outputs})
    endif()
    add_dependencies(${target} bitmap_fonts)
    target_compile_definitions(${target} PRIVATE TIRELMA_FONT_DIR="${CMAKE_BINARY_DIR}/fonts")
endfunction()
