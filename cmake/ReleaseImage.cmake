# What the program and the libraries loaded beside it ship as.
#
# The debug sections go to NAME.debug beside the file (linked back by a debug
# link, so a debugger still finds them): in the image itself they are
# allocated sections that a loader copying the image reads into memory,
# about 5 MB of the program's working set for nothing.
#
# Sections are aligned to whole pages in the file as in memory, so a loader
# can map the image from the file and bring in only the pages it touches
# (the artwork of pages not yet shown stays on disk).
find_program(ZEPHRIN_OBJCOPY NAMES ${TOOLCHAIN_PREFIX}-objcopy REQUIRED)

function(zephrin_release_image target)
    target_link_options(${target} PRIVATE -Wl,--file-alignment,4096)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${ZEPHRIN_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
        COMMAND ${ZEPHRIN_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
                $<TARGET_FILE_NAME:${target}>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        VERBATIM)
endfunction()
