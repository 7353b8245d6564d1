# quillon starts thousands of times a day, often for a page or two, and most of
# a short run's start-up is the dynamic loader mapping some forty shared
# libraries and binding their symbols (qpdf's alone are thousands). So the
# program links the libraries Debian also ships as static archives from those
# archives: qpdf with the gnutls it needs for its cryptography, FreeType,
# fontconfig, libpng, libjpeg, libtiff, giflib, zlib, libdeflate and what they
# need in turn. HarfBuzz has no archive and stays shared, and so does p11-kit,
# which gnutls needs.
#
# When an archive is missing, or a trial link of them all fails, quillon links
# the shared libraries instead, as the tests and the other programs always do:
# the build never depends on the archives being there.
#
# The C++ runtime (libstdc++ and libgcc) is linked statically as well when no
# shared library that is left needs it: binding libstdc++'s symbols is a good
# part of what the loader still does. Were a shared library to need it, the
# process would hold two copies of it, so the trial checks that none does.
# Sanitizer builds keep the shared runtime, which the sanitizers expect.
#
# Defines QUILLON_STATIC_LIBRARIES_FOUND and, when true, the interface target
# quillon_static_libraries, which takes the place of the shared libraries for a
# target whose QUILLON_STATIC_LIBRARIES property is true, and
# QUILLON_STATIC_CXX_RUNTIME, true when the C++ runtime is linked statically too.

option(QUILLON_STATIC_LIBRARIES "Link quillon against static archives of its libraries where all are available" ON)

set(QUILLON_STATIC_LIBRARIES_FOUND FALSE)
set(QUILLON_STATIC_CXX_RUNTIME FALSE)
if(NOT QUILLON_STATIC_LIBRARIES OR QUILLON_FUZZ OR NOT TIFF_FOUND OR NOT GIF_FOUND)
  return()
endif()

# In link order: each archive before the ones it uses.
set(_archives qpdf gnutls hogweed nettle gmp tasn1 idn2 unistring fontconfig expat freetype png16
              tiff webp zstd lzma Lerc jbig jpeg gif deflate z brotlidec brotlicommon)
set(_shared_only p11-kit)

set(_link)
foreach(name IN LISTS _archives)
  find_library(QUILLON_ARCHIVE_${name} NAMES lib${name}.a)
  if(NOT QUILLON_ARCHIVE_${name})
    message(STATUS "quillon links shared libraries (no static archive of ${name})")
    return()
  endif()
  list(APPEND _link ${QUILLON_ARCHIVE_${name}})
endforeach()
foreach(name IN LISTS _shared_only)
  find_library(QUILLON_SHARED_${name} NAMES ${name})
  if(NOT QUILLON_SHARED_${name})
    message(STATUS "quillon links shared libraries (no ${name})")
    return()
  endif()
  list(APPEND _link ${QUILLON_SHARED_${name}})
endforeach()
find_package(Threads REQUIRED)
list(APPEND _link PkgConfig::HARFBUZZ Threads::Threads m)
set(_trial_includes "-DINCLUDE_DIRECTORIES=${QPDF_INCLUDE_DIRS};${FREETYPE_INCLUDE_DIRS};${HARFBUZZ_INCLUDE_DIRS};${FONTCONFIG_INCLUDE_DIRS};${PNG_INCLUDE_DIRS};${TIFF_INCLUDE_DIRS}")
if(NOT DEFINED QUILLON_STATIC_LINK_WORKS)
  try_compile(QUILLON_STATIC_LINK_WORKS
              SOURCES ${CMAKE_CURRENT_LIST_DIR}/static_link_check.cpp
              CMAKE_FLAGS ${_trial_includes}
              LINK_LIBRARIES ${_link}
              CXX_STANDARD 20
              OUTPUT_VARIABLE _output)
  if(NOT QUILLON_STATIC_LINK_WORKS)
    message(STATUS "quillon links shared libraries (a trial link of the archives failed)")
    file(WRITE ${CMAKE_BINARY_DIR}/static-link-check.log "${_output}")
  endif()
endif()
if(NOT QUILLON_STATIC_LINK_WORKS)
  return()
endif()

if(NOT QUILLON_SANITIZE AND NOT DEFINED QUILLON_STATIC_CXX_RUNTIME_WORKS)
  set(_trial ${CMAKE_BINARY_DIR}/static-runtime-check)
  try_compile(_runtime_links
              SOURCES ${CMAKE_CURRENT_LIST_DIR}/static_link_check.cpp
              CMAKE_FLAGS ${_trial_includes}
              LINK_OPTIONS -static-libstdc++ -static-libgcc
              LINK_LIBRARIES ${_link}
              CXX_STANDARD 20
              COPY_FILE ${_trial})
  set(_needed "")
  if(_runtime_links)
    execute_process(COMMAND ldd ${_trial} OUTPUT_VARIABLE _needed ERROR_QUIET RESULT_VARIABLE _ldd_failed)
    file(REMOVE ${_trial})
  endif()
  if(_runtime_links AND NOT _ldd_failed AND NOT _needed MATCHES "libstdc\\+\\+")
    set(QUILLON_STATIC_CXX_RUNTIME_WORKS TRUE CACHE INTERNAL "")
  else()
    set(QUILLON_STATIC_CXX_RUNTIME_WORKS FALSE CACHE INTERNAL "")
  endif()
endif()
if(NOT QUILLON_SANITIZE AND QUILLON_STATIC_CXX_RUNTIME_WORKS)
  set(QUILLON_STATIC_CXX_RUNTIME TRUE)
endif()

add_library(quillon_static_libraries INTERFACE)
target_link_libraries(quillon_static_libraries INTERFACE ${_link})
set(QUILLON_STATIC_LIBRARIES_FOUND TRUE)
if(QUILLON_STATIC_CXX_RUNTIME)
  message(STATUS "quillon links the static archives of its libraries and of the C++ runtime")
else()
  message(STATUS "quillon links the static archives of its libraries")
endif()
