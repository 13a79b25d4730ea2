# Read by cpack for each package it makes (CPACK_PROJECT_CONFIG_FILE).
#
# The Debian package's Depends are computed from its programs by
# dpkg-shlibdeps. The live view's plug-in links Qt WebEngine, which the
# package only recommends (the editor runs without it and says so in the
# view), so that plug-in is left out of that computation; the web fonts'
# plug-in's libraries are required like the programs'.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(SHLIBDEPS_EXECUTABLE "${CPACK_QUILLANE_SOURCE_DIR}/cmake/shlibdeps-without-live-view.sh" CACHE FILEPATH
      "dpkg-shlibdeps, leaving out the live view's plug-in" FORCE)
endif()
