# What a Debian package must carry beside the tool: the man page and the changelog compressed
# with gzip -9n, and a copyright file in Debian's machine-readable format. Written into the
# build directory when configuring.

# The changelog's latest entry is the release: its version must be the project's, and its date
# is the man page's, so neither drifts from revstamp --version.
file(READ packaging/changelog changelog)
string(REGEX MATCH "^revstamp \\(([^)]*)\\)" entry "${changelog}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog's latest entry is for ${CMAKE_MATCH_1}, the project "
                      "is ${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION} on top.")
endif()
string(REGEX MATCH "\n -- [^\n]*, ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) " entry
             "${changelog}")
if(NOT entry)
  message(FATAL_ERROR "packaging/changelog's latest entry has no dated trailer line.")
endif()
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months "${CMAKE_MATCH_2}" month)
math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
if(month LESS 10)
  set(month 0${month})
endif()
set(REVSTAMP_RELEASE_DATE "${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1}")
configure_file(doc/revstamp.1.in revstamp.1 @ONLY)
configure_file(packaging/changelog changelog COPYONLY)

find_program(REVSTAMP_GZIP gzip REQUIRED)
foreach(file revstamp.1 changelog)
  execute_process(COMMAND "${REVSTAMP_GZIP}" -9nkf ${file}
                  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# The licence once, in LICENSE: its copyright line and its text, as Debian's fields take them
# (every line indented by one space, a blank line written as " .").
file(READ LICENSE license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" copyright "${license}")
set(revstamp_copyright "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]*\n\n(.*[^\n])\n*$" "\\1" text "${license}")
string(REPLACE "\n\n" "\n.\n" text "${text}")
string(REPLACE "\n" "\n " revstamp_license " ${text}")
configure_file(packaging/copyright.in copyright @ONLY)
