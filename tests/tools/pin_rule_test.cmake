# The pin rule at configure time, run as a script for each case:
#   cmake -DCASE=<name> -P pin_rule_test.cmake
# Each case sets the options and says whether configuring must fail.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/setup_pins.cmake)
set(key "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef")
if(CASE STREQUAL "no-pin-any-build-type")
  set(CMAKE_BUILD_TYPE "${BUILD_TYPE}")
elseif(CASE STREQUAL "no-pin-allowed")
  set(TSCHECK_ALLOW_UNVERIFIED_SETUP ON)
elseif(CASE STREQUAL "key-list")
  set(TSCHECK_SETUP_SIGNER_KEY "${key}; 01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF")
elseif(CASE STREQUAL "bad-key")
  set(TSCHECK_SETUP_SIGNER_KEY "${key};12abc")
endif()
tscheck_check_setup_pins()
if(CASE STREQUAL "key-list" AND NOT TSCHECK_SETUP_SIGNER_KEY_DIGITS STREQUAL "${key};${key}")
  message(FATAL_ERROR "key list read as ${TSCHECK_SETUP_SIGNER_KEY_DIGITS}")
endif()
