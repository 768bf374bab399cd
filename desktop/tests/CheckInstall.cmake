# Installs the build into a temporary DESTDIR and checks the installed tree:
# every file in its place, the launcher and metainfo valid, the file types
# matched by the signatures the programs write, the manual page naming every
# option, and both programs running from the installed place (moved
# elsewhere, with LD_LIBRARY_PATH unset) without loading anything from the
# build tree.
#
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DDESKTOP_ID=... -DVERSION=...
#         -P CheckInstall.cmake
#
# The tree is installed outside the build tree (in the temporary folder), so
# that a path into the build stands out; it is removed when every check passed.

set(failures 0)
macro(fail message)
    message(SEND_ERROR "${message}")
    math(EXPR failures "${failures} + 1")
endmacro()

# Runs a command; its exit status, output and error go to the named variables.
function(run status_var out_var err_var)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE err WORKING_DIRECTORY ${WORK_DIR})
    set(${status_var} "${status}" PARENT_SCOPE)
    set(${out_var} "${out}" PARENT_SCOPE)
    set(${err_var} "${err}" PARENT_SCOPE)
endfunction()

set(temp "$ENV{TMPDIR}")
if(temp STREQUAL "")
    set(temp /tmp)
endif()
string(MD5 build_key "${BUILD_DIR}")
set(WORK_DIR ${temp}/densora-install-test-${build_key})
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(prefix /usr/local)
set(destdir ${WORK_DIR}/destdir)

run(status out err ${CMAKE_COMMAND} -E env DESTDIR=${destdir}
    ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status}):\n${out}\n${err}")
endif()

# Moved away from where it was installed: only relative run paths still work.
set(root ${WORK_DIR}/moved)
file(RENAME ${destdir}${prefix} ${root})

set(expected
    bin/Densora
    bin/densora-cli
    lib/densora/libPlatform.so
    lib/densora/libTVRAnalysis1D.so
    share/densora/docs/DensoraHelp.htm
    share/applications/${DESKTOP_ID}.desktop
    share/mime/packages/densora.xml
    share/metainfo/${DESKTOP_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/densora.svg
    share/icons/hicolor/scalable/mimetypes/application-x-densora-document.svg
    share/icons/hicolor/scalable/mimetypes/application-x-densora-template.svg
    share/man/man1/densora.1
    share/man/man1/densora-cli.1)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected
        share/icons/hicolor/${size}x${size}/apps/densora.png
        share/icons/hicolor/${size}x${size}/mimetypes/application-x-densora-document.png
        share/icons/hicolor/${size}x${size}/mimetypes/application-x-densora-template.png)
endforeach()
foreach(file ${expected})
    if(NOT (EXISTS ${root}/${file}))
        fail("not installed: ${file}")
    endif()
endforeach()
# Only the two programs: no test or developer program is installed.
file(GLOB programs RELATIVE ${root}/bin ${root}/bin/*)
list(SORT programs)
if(NOT ("${programs}" STREQUAL "Densora;densora-cli"))
    fail("bin/ holds: ${programs}")
endif()
# A PNG icon is a real picture of its size: the header and the width.
file(READ ${root}/share/icons/hicolor/48x48/apps/densora.png png HEX LIMIT 24)
if(NOT ("${png}" MATCHES "^89504e470d0a1a0a"))
    fail("densora.png is not a PNG file")
endif()
if(NOT ("${png}" MATCHES "00000030$"))
    fail("the 48x48 icon is not 48 pixels wide")
endif()

# The validators.
run(status out err appstreamcli validate --no-net ${root}/share/metainfo/${DESKTOP_ID}.metainfo.xml)
if(NOT (status EQUAL 0))
    fail("appstreamcli validate failed:\n${out}${err}")
endif()
run(status out err desktop-file-validate ${root}/share/applications/${DESKTOP_ID}.desktop)
if(NOT (status EQUAL 0))
    fail("desktop-file-validate failed:\n${out}${err}")
endif()
file(READ ${root}/share/applications/${DESKTOP_ID}.desktop launcher)
foreach(line "Exec=Densora %f" "Categories=Science;Biology;Graphics;"
        "MimeType=application/x-densora-document;application/x-densora-template;" "Icon=densora")
    string(FIND "${launcher}" "${line}\n" at)
    if(NOT (at GREATER -1))
        fail("the launcher lacks the line ${line}")
    endif()
endforeach()

# The MIME package compiles, and its magic is what the programs write: the
# document's first three bytes come from a document densora-cli saves below.
file(COPY ${root}/share/mime/packages DESTINATION ${WORK_DIR}/mime)
run(status out err update-mime-database ${WORK_DIR}/mime)
if(NOT (status EQUAL 0))
    fail("update-mime-database failed:\n${out}${err}")
endif()
file(READ ${WORK_DIR}/mime/magic magic HEX)
# [60:application/x-densora-document] then >0=, length 3, the bytes
string(HEX "[60:application/x-densora-document]\n>0=" document_rule)
string(HEX "[60:application/x-densora-template]\n>0=" template_rule)
if(NOT ("${magic}" MATCHES "${document_rule}0003210b020a"))
    fail("no document magic 21 0b 02 at offset 0")
endif()
if(NOT ("${magic}" MATCHES "${template_rule}0003340b010a"))
    fail("no template magic 34 0b 01 at offset 0")
endif()
file(READ ${WORK_DIR}/mime/globs2 globs)
if(NOT ("${globs}" MATCHES "application/x-densora-document:\\*\\.dsr"))
    fail("no *.dsr glob")
endif()
if(NOT ("${globs}" MATCHES "application/x-densora-template:\\*\\.ovl"))
    fail("no *.ovl glob")
endif()

# Run paths: relative to the file, never the build tree.
file(GLOB libraries ${root}/lib/densora/*.so*)
foreach(elf ${root}/bin/Densora ${root}/bin/densora-cli ${libraries})
    run(status out err readelf -d ${elf})
    string(REGEX MATCHALL "\\((RUNPATH|RPATH)\\)[^\n]*" paths "${out}")
    if("${paths}" STREQUAL "")
        fail("${elf} has no run path")
    endif()
    foreach(path ${paths})
        if(NOT ("${path}" MATCHES "\\[\\$ORIGIN(/[^]:]*)?\\]$"))
            fail("${elf}: ${path}")
        endif()
    endforeach()
endforeach()

# The programs from the moved tree, with nothing pointing at the build: no
# library path, no display, another working folder.
set(clean_env ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH --unset=DISPLAY
    --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM --unset=QT_PLUGIN_PATH)
foreach(program Densora densora-cli)
    run(status out err ${clean_env} ldd ${root}/bin/${program})
    if(NOT (status EQUAL 0))
        fail("ldd ${program} failed: ${err}")
    endif()
    string(FIND "${out}" "not found" missing)
    if(NOT (missing EQUAL -1))
        fail("${program} misses libraries:\n${out}")
    endif()
    string(FIND "${out}" "${BUILD_DIR}" from_build)
    if(NOT (from_build EQUAL -1))
        fail("${program} loads from the build tree:\n${out}")
    endif()
    string(FIND "${out}" "${root}/bin/../lib/densora/libPlatform.so" own)
    if(NOT (own GREATER -1))
        fail("${program} does not load the installed libPlatform.so:\n${out}")
    endif()
    # The batch tool has no windows: it loads neither the widget libraries
    # nor the window halves of ours.
    if(program STREQUAL "densora-cli" AND "${out}" MATCHES "(libQt6Widgets|libQt6Charts|Ui\\.so)")
        fail("densora-cli loads window libraries (${CMAKE_MATCH_1}):\n${out}")
    endif()
endforeach()

run(status out err ${clean_env} ${root}/bin/densora-cli --version)
if(NOT (status EQUAL 0 AND "${out}" MATCHES "^densora-cli ${VERSION}\n"))
    fail("installed densora-cli --version: ${status}\n${out}${err}")
endif()
run(status out err ${clean_env} ${root}/bin/Densora --version)
if(NOT (status EQUAL 0 AND "${out}" MATCHES "^Densora ${VERSION}"))
    fail("installed Densora --version without a display: ${status}\n${out}${err}")
endif()

# The installed batch program does the real work: the sample gel gives the
# same report as the build's program, and the document it saves carries the
# signature the MIME type looks for.
set(sample ${BUILD_DIR}/samples/sample-gel.tif)
set(sample_args analyze ${sample} --dark --area 30,20,740,575 --example-band 140,171,70,18
    --wells 40 --dye-front 585 --slider 100)
run(status installed err ${clean_env} ${root}/bin/densora-cli ${sample_args}
    --save ${WORK_DIR}/sample.dsr)
if(NOT (status EQUAL 0))
    fail("the installed densora-cli failed on the sample gel: ${err}")
endif()
run(status built err ${BUILD_DIR}/bin/densora-cli ${sample_args})
if(NOT ("${installed}" STREQUAL "${built}"))
    fail("the installed program's report differs")
endif()
if(EXISTS ${WORK_DIR}/sample.dsr)
    file(READ ${WORK_DIR}/sample.dsr head HEX LIMIT 3)
    if(NOT ("${head}" STREQUAL "210b02"))
        fail("a saved document starts with ${head}, not 21 0b 02")
    endif()
endif()

# The manual page of densora-cli names every option its --help lists.
run(status help err ${clean_env} ${root}/bin/densora-cli --help)
file(READ ${root}/share/man/man1/densora-cli.1 manual)
string(REGEX MATCHALL "--[a-z][a-z-]*" options "${help}")
list(REMOVE_DUPLICATES options)
foreach(option ${options})
    string(REPLACE "-" "\\-" roff "${option}")
    string(FIND "${manual}" "${roff}" at)
    if(NOT (at GREATER -1))
        fail("densora-cli(1) does not describe ${option}")
    endif()
endforeach()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} check(s) of the installed tree failed")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "the installed tree passed every check")
