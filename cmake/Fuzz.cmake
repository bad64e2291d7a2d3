# The fuzz build (-DPEDALYX_FUZZ=ON, clang): only the plain-logic libraries, instrumented for
# libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer, and one program per
# fuzz/*.cpp. No toolkit, no GL: every parser the programs feed with files lives in the logic.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "The fuzz build needs clang: CC=clang CXX=clang++ cmake -DPEDALYX_FUZZ=ON")
endif()
set(FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g)
add_compile_options(${FUZZ_FLAGS} -fsanitize=fuzzer-no-link)
add_link_options(${FUZZ_FLAGS})

find_package(OpenCV REQUIRED COMPONENTS core imgproc imgcodecs videoio)
find_library(HPDF_LIB hpdf REQUIRED)
find_library(FREEIMAGE_LIB freeimage REQUIRED)
find_package(SQLite3 REQUIRED)
find_package(OpenSSL REQUIRED COMPONENTS Crypto)
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBPQ REQUIRED IMPORTED_TARGET libpq)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
include(cmake/Sources.cmake)

collect_sources(platform PLATFORM_SOURCES PLATFORM_UI_UNUSED)
add_library(platform STATIC ${PLATFORM_SOURCES})
target_include_directories(platform PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(platform PUBLIC ${OpenCV_LIBS} OpenSSL::Crypto)

collect_sources(pedalyx PEDALYX_LOGIC PEDALYX_UI_UNUSED)
add_library(pedalyx_logic STATIC ${PEDALYX_LOGIC})
target_link_libraries(pedalyx_logic PUBLIC platform ${OpenCV_LIBS} ${HPDF_LIB} SQLite::SQLite3
  PkgConfig::LIBPQ PkgConfig::FONTCONFIG Threads::Threads)

collect_sources(cobblet COBBLET_LOGIC COBBLET_UI_UNUSED)
add_library(cobblet_logic STATIC ${COBBLET_LOGIC})
target_link_libraries(cobblet_logic PUBLIC platform ${FREEIMAGE_LIB})

file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
foreach(src ${FUZZ_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE pedalyx_logic cobblet_logic platform)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endforeach()
