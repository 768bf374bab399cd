# Third-party libraries, all from Debian packages (scripts/install-deps.sh).
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Charts Test)
find_package(GTest REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)

find_path(FREEIMAGE_INCLUDE_DIR FreeImage.h REQUIRED)
find_path(FREEIMAGEPLUS_INCLUDE_DIR FreeImagePlus.h REQUIRED)
find_library(FREEIMAGE_LIBRARY freeimage REQUIRED)
find_library(FREEIMAGEPLUS_LIBRARY freeimageplus REQUIRED)

add_library(Deps::FreeImage INTERFACE IMPORTED)
target_include_directories(Deps::FreeImage SYSTEM INTERFACE ${FREEIMAGE_INCLUDE_DIR} ${FREEIMAGEPLUS_INCLUDE_DIR})
target_link_libraries(Deps::FreeImage INTERFACE ${FREEIMAGEPLUS_LIBRARY} ${FREEIMAGE_LIBRARY})

# The OpenCV -dev packages ship no CMake package file.
find_path(OPENCV_INCLUDE_DIR opencv2/core.hpp PATHS /usr/include/opencv4 REQUIRED)
find_library(OPENCV_CORE_LIBRARY opencv_core REQUIRED)
find_library(OPENCV_IMGPROC_LIBRARY opencv_imgproc REQUIRED)
add_library(Deps::OpenCV INTERFACE IMPORTED)
target_include_directories(Deps::OpenCV SYSTEM INTERFACE ${OPENCV_INCLUDE_DIR})
target_link_libraries(Deps::OpenCV INTERFACE ${OPENCV_IMGPROC_LIBRARY} ${OPENCV_CORE_LIBRARY})

add_library(Deps::XlsxWriter ALIAS PkgConfig::XLSXWRITER)

find_package(benchmark QUIET)
