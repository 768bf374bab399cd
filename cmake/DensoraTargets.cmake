# One shared library per folder: every .cpp/.h directly in the folder
# (tests/ excluded) belongs to it, so adding a class needs no CMake edit.
#
# Widget code lives only in a `ui/` folder of the library (and folders below
# it, e.g. ui/dialogs/). When one exists it becomes a shared library of its
# own, <name>Ui, beside the headless <name>: the headless half sees Qt Core and
# Gui only, so a QtWidgets include outside ui/ fails to compile, and programs
# without windows (the batch tool) never load the widget libraries. The ui
# half adds Widgets and PrintSupport and the ui halves of the libraries it
# builds on; UI names extra libraries only the ui half may use.
# The window halves (<lib>Ui) of those of the libraries that have one.
function(densora_ui_halves out)
    set(halves)
    foreach(lib ${ARGN})
        if(TARGET ${lib}Ui)
            list(APPEND halves ${lib}Ui)
        endif()
    endforeach()
    set(${out} ${halves} PARENT_SCOPE)
endfunction()

function(densora_library name)
    cmake_parse_arguments(ARG "" "" "DIRS;PUBLIC;PRIVATE;UI" ${ARGN})
    if(NOT ARG_DIRS)
        set(ARG_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    set(sources)
    foreach(dir ${ARG_DIRS})
        file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
        list(APPEND sources ${found})
    endforeach()
    file(GLOB_RECURSE ui_sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.h)
    # A folder whose classes are still being written has no target yet.
    if(NOT sources MATCHES "\\.cpp")
        return()
    endif()
    add_library(${name} SHARED ${sources})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
    if(NOT ui_sources MATCHES "\\.cpp")
        return()
    endif()

    add_library(${name}Ui SHARED ${ui_sources})
    set_target_properties(${name}Ui PROPERTIES AUTOMOC ON)
    target_include_directories(${name}Ui PUBLIC ${CMAKE_SOURCE_DIR})
    densora_ui_halves(ui_deps ${ARG_PUBLIC})
    target_link_libraries(${name}Ui PUBLIC ${name} ${ui_deps} Qt6::Widgets Qt6::PrintSupport
        ${ARG_UI} PRIVATE ${ARG_PRIVATE})
endfunction()

# One GoogleTest program per library, made of every .cpp in tests/.
function(densora_tests name)
    cmake_parse_arguments(ARG "" "DIR" "LIBS" ${ARGN})
    if(NOT ARG_DIR)
        set(ARG_DIR ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    endif()
    file(GLOB sources CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp ${ARG_DIR}/*.h)
    if(NOT sources MATCHES "\\.cpp")
        return()
    endif()
    add_executable(${name} ${sources})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    # A library's tests cover its windows too.
    densora_ui_halves(ui_libs ${ARG_LIBS})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${ui_libs} Qt6::Test GTest::gtest GTest::gmock)
    if(NOT ARG_LIBS MATCHES "gtest_main")
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;DENSORA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
endfunction()
