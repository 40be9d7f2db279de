# Read by cpack when it builds the package: a package needs its maintainer.
if(NOT CPACK_PACKAGE_CONTACT)
  message(FATAL_ERROR "The package needs a maintainer: configure with "
          "-DMORV_MANTENEDOR=\"Name <address>\" (make deb MANTENEDOR=\"Name <address>\"), or "
          "set DEBFULLNAME and DEBEMAIL in the environment")
endif()
