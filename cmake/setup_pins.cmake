# The pins that decide which downloaded setup program may start, checked as
# the build is configured. Sets TSCHECK_SETUP_SIGNER_DIGITS and
# TSCHECK_SETUP_SIGNER_KEY_DIGITS: each pin list as lower-case digests with
# ";" between them, colons and blanks dropped.

# tscheck_digest_list(<out> <option name> <value>): the value's digests, or a
# configure error naming the option and the entry that is not one.
function(tscheck_digest_list out name value)
  set(digests "")
  foreach(entry IN LISTS value)
    string(REGEX REPLACE "[: \t]" "" digits "${entry}")
    string(TOLOWER "${digits}" digits)
    if(digits STREQUAL "")
      continue()
    endif()
    string(LENGTH "${digits}" length)
    if(NOT digits MATCHES "^[0-9a-f]+$" OR NOT length EQUAL 64)
      message(FATAL_ERROR "${name} must be SHA-256 digests of 64 hexadecimal digits (colons and "
                          "blanks may separate the digits, \";\" the digests): ${entry}")
    endif()
    list(APPEND digests "${digits}")
  endforeach()
  list(JOIN digests ";" joined)
  set(${out} "${joined}" PARENT_SCOPE)
endfunction()

# tscheck_check_setup_pins(): checks the options and sets the digit lists.
macro(tscheck_check_setup_pins)
  if(TSCHECK_SETUP_SHA256 AND NOT TSCHECK_SETUP_SHA256 MATCHES "^[0-9A-Fa-f]+$")
    message(FATAL_ERROR "TSCHECK_SETUP_SHA256 must be 64 hexadecimal digits")
  endif()
  string(LENGTH "${TSCHECK_SETUP_SHA256}" pin_length)
  if(pin_length AND NOT pin_length EQUAL 64)
    message(FATAL_ERROR "TSCHECK_SETUP_SHA256 must be 64 hexadecimal digits")
  endif()
  tscheck_digest_list(TSCHECK_SETUP_SIGNER_DIGITS TSCHECK_SETUP_SIGNER "${TSCHECK_SETUP_SIGNER}")
  tscheck_digest_list(TSCHECK_SETUP_SIGNER_KEY_DIGITS TSCHECK_SETUP_SIGNER_KEY
                      "${TSCHECK_SETUP_SIGNER_KEY}")
  # Every build says whom it trusts, whatever its build type (or none): an
  # exe without a pin would start whatever program the network hands it,
  # with administrator rights.
  if(NOT TSCHECK_SETUP_SHA256 AND NOT TSCHECK_SETUP_SIGNER_DIGITS AND
     NOT TSCHECK_SETUP_SIGNER_KEY_DIGITS)
    if(NOT TSCHECK_ALLOW_UNVERIFIED_SETUP)
      message(FATAL_ERROR "None of TSCHECK_SETUP_SIGNER_KEY, TSCHECK_SETUP_SIGNER and "
                          "TSCHECK_SETUP_SHA256 is set: such a build would start any program "
                          "the network sends, with administrator rights. Set one of them (see "
                          "README, Building for release), or -DTSCHECK_ALLOW_UNVERIFIED_SETUP=ON "
                          "to build it anyway.")
    endif()
    message(WARNING "TSCHECK_ALLOW_UNVERIFIED_SETUP: this TSCheck.exe starts any program the "
                    "network sends as the setup (no signer, key or SHA-256 pin is set).")
  endif()
endmacro()
