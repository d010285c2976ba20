# find_package(revstamp): the imported executable revstamp::revstamp and revstamp_stamp().
include("${CMAKE_CURRENT_LIST_DIR}/revstampTargets.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/RevstampStamp.cmake")
