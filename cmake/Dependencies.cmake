# zlib: Debian's zlib1g-dev natively, libz-mingw-w64-dev for Windows (static archive).
if(WIN32)
  find_library(MIRPAN_ZLIB NAMES libz.a z REQUIRED)
  find_path(MIRPAN_ZLIB_INCLUDE zlib.h REQUIRED)
  add_library(mirpan_zlib INTERFACE)
  target_link_libraries(mirpan_zlib INTERFACE ${MIRPAN_ZLIB})
  target_include_directories(mirpan_zlib INTERFACE ${MIRPAN_ZLIB_INCLUDE})
else()
  find_package(ZLIB REQUIRED)
  add_library(mirpan_zlib INTERFACE)
  target_link_libraries(mirpan_zlib INTERFACE ZLIB::ZLIB)
endif()

# libjpeg: Debian's libjpeg62-turbo-dev natively; for Windows compiled from Debian's source
# package once and cached in the build tree.
if(WIN32)
  set(MIRPAN_JPEG_PREFIX ${CMAKE_BINARY_DIR}/deps/jpeg)
  if(NOT EXISTS ${MIRPAN_JPEG_PREFIX}/lib/libjpeg.a)
    message(STATUS "Building libjpeg-turbo for mingw into ${MIRPAN_JPEG_PREFIX}")
    execute_process(
      COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-jpeg-mingw ${CMAKE_BINARY_DIR}/deps ${CMAKE_TOOLCHAIN_FILE}
      RESULT_VARIABLE jpeg_result)
    if(NOT jpeg_result EQUAL 0)
      message(FATAL_ERROR "libjpeg-turbo for mingw could not be built")
    endif()
  endif()
  add_library(mirpan_jpeg INTERFACE)
  target_link_libraries(mirpan_jpeg INTERFACE ${MIRPAN_JPEG_PREFIX}/lib/libjpeg.a)
  target_include_directories(mirpan_jpeg INTERFACE ${MIRPAN_JPEG_PREFIX}/include)
else()
  find_package(JPEG REQUIRED)
  add_library(mirpan_jpeg INTERFACE)
  target_link_libraries(mirpan_jpeg INTERFACE JPEG::JPEG)
endif()

