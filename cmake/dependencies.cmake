# Third-party code, staged by tools/bootstrap.sh under LUMAVEX_DEPS: the header-only libraries in
# include/, the cross-built libraries per architecture in i686/ and x86_64/.
if(NOT EXISTS "${LUMAVEX_DEPS}/include/spdlog")
  message(FATAL_ERROR "Dependencies are missing under ${LUMAVEX_DEPS}: run tools/bootstrap.sh first")
endif()

# spdlog, fmt, nlohmann-json, cxxopts and stb as headers only. Only the few sources that need them
# link this target: the headers are heavy to compile.
add_library(lumavex_thirdparty INTERFACE)
target_include_directories(lumavex_thirdparty SYSTEM INTERFACE "${LUMAVEX_DEPS}/include")
target_compile_definitions(lumavex_thirdparty INTERFACE FMT_HEADER_ONLY SPDLOG_FMT_EXTERNAL)

add_library(lumavex_minizip STATIC IMPORTED GLOBAL)
set_target_properties(lumavex_minizip PROPERTIES
  IMPORTED_LOCATION "${LUMAVEX_DEPS}/${LUMAVEX_ARCH}/minizip/lib/libminizip.a"
  INTERFACE_INCLUDE_DIRECTORIES "${LUMAVEX_DEPS}/${LUMAVEX_ARCH}/minizip/include"
  INTERFACE_LINK_LIBRARIES "z")

if(LUMAVEX_BUILD_TESTS)
  set(GTest_DIR "${LUMAVEX_DEPS}/${LUMAVEX_ARCH}/gtest/lib/cmake/GTest")
  find_package(GTest CONFIG REQUIRED)
endif()
