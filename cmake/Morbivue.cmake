# Helpers shared by the subsystem build files.

# Sources of a folder for this platform: *_win.cpp only on Windows, *_posix.cpp only elsewhere.
function(morbivue_platform_sources out dir)
  file(GLOB _all CONFIGURE_DEPENDS "${dir}/*.cpp")
  set(_kept "")
  foreach(_f IN LISTS _all)
    if(WIN32 AND _f MATCHES "_posix\\.cpp$")
      continue()
    endif()
    if(NOT WIN32 AND _f MATCHES "_win\\.cpp$")
      continue()
    endif()
    list(APPEND _kept "${_f}")
  endforeach()
  set(${out} "${_kept}" PARENT_SCOPE)
endfunction()

# morbivue_manifest(<target>): the program's manifest in a window test program, so that the tests
# meet the same common controls and DPI awareness as the program.
function(morbivue_manifest target)
  target_sources(${target} PRIVATE "${CMAKE_SOURCE_DIR}/ui/resources/manifest_only.rc")
  target_include_directories(${target} PRIVATE "${CMAKE_SOURCE_DIR}/ui/resources")
  set_source_files_properties("${CMAKE_SOURCE_DIR}/ui/resources/manifest_only.rc" PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/ui/resources/morbivue.manifest")
endfunction()
