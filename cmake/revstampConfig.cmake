# find_package(revstamp): the imported executable revstamp::revstamp and revstamp_stamp().
include("${CMAKE_CURRENT_LIST_DIR}/revstampTargets.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/RevstampStamp.cmake")
# The .tar.gz also carries bin/revstamp-static, for build servers whose C library is older than
# the one bin/revstamp needs (CentOS 7, Ubuntu 18.04): where it lies beside bin/revstamp, the
# package stamps with it, as it runs on every Linux from 3.2 on.
get_target_property(_revstamp_configurations revstamp::revstamp IMPORTED_CONFIGURATIONS)
foreach(_revstamp_configuration ${_revstamp_configurations})
  get_target_property(_revstamp_location revstamp::revstamp
                      IMPORTED_LOCATION_${_revstamp_configuration})
  get_filename_component(_revstamp_bin "${_revstamp_location}" DIRECTORY)
  if(EXISTS "${_revstamp_bin}/revstamp-static")
    set_target_properties(revstamp::revstamp PROPERTIES
      IMPORTED_LOCATION_${_revstamp_configuration} "${_revstamp_bin}/revstamp-static")
  endif()
endforeach()
unset(_revstamp_configurations)
unset(_revstamp_configuration)
unset(_revstamp_location)
unset(_revstamp_bin)
