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
