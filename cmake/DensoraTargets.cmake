# One shared library per folder: every .cpp/.h directly in the folder
# (tests/ excluded) belongs to it, so adding a class needs no CMake edit.
#
# Widget code lives only in a `ui/` folder of the library (and folders below
# it, e.g. ui/dialogs/). When one exists the library is built from two object
# libraries: the headless half sees Qt Core and Gui only, so a QtWidgets
# include outside ui/ fails to compile; the ui half adds Widgets and
# PrintSupport. UI names extra libraries only the ui half may use.
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
    if(NOT sources MATCHES "\\.cpp" AND NOT ui_sources MATCHES "\\.cpp")
        return()
    endif()
    if(NOT ui_sources MATCHES "\\.cpp")
        add_library(${name} SHARED ${sources} ${ui_sources})
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
        target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
        return()
    endif()

    set(ui_libs Qt6::Widgets Qt6::PrintSupport ${ARG_UI})
    add_library(${name}Core OBJECT ${sources})
    add_library(${name}Ui OBJECT ${ui_sources})
    foreach(part ${name}Core ${name}Ui)
        set_target_properties(${part} PROPERTIES AUTOMOC ON POSITION_INDEPENDENT_CODE ON)
        target_include_directories(${part} PUBLIC ${CMAKE_SOURCE_DIR})
        target_link_libraries(${part} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
    endforeach()
    target_link_libraries(${name}Ui PUBLIC ${ui_libs})
    add_library(${name} SHARED $<TARGET_OBJECTS:${name}Core> $<TARGET_OBJECTS:${name}Ui>)
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} ${ui_libs} PRIVATE ${ARG_PRIVATE})
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
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test GTest::gtest GTest::gmock)
    if(NOT ARG_LIBS MATCHES "gtest_main")
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;DENSORA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
endfunction()
