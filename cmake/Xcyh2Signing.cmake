# Authenticode signatures on the executables players get, made with osslsigncode when the
# publisher gives the build a certificate and its private key (PEM files):
#   -DXCYH2_SIGNING_CERT=cert.pem -DXCYH2_SIGNING_KEY=key.pem [-DXCYH2_SIGNING_TIMESTAMP=URL]
# Without them nothing is signed and the build is what it is without this file.
# The key is read only where it lies, by openssl (here) and osslsigncode (when signing): no copy
# of it and none of its text enter the build folder or the build's output; the cache keeps its path.

set(XCYH2_SIGNING_CERT "" CACHE FILEPATH "Authenticode certificate (PEM) the shipped executables are signed with")
set(XCYH2_SIGNING_KEY "" CACHE FILEPATH "The certificate's private key (PEM, not encrypted)")
set(XCYH2_SIGNING_TIMESTAMP "" CACHE STRING "Authenticode timestamp server (URL) asked for each signature; empty: none")

set(XCYH2_SIGNING OFF)
if(XCYH2_SIGNING_CERT OR XCYH2_SIGNING_KEY)
  set(XCYH2_SIGNING ON)
endif()

# Stops the configuration when the certificate and key are not a pair that can sign; every
# message names the file at fault.
function(xcyh2_check_signing_files)
  foreach(var XCYH2_SIGNING_CERT XCYH2_SIGNING_KEY)
    if(NOT ${var})
      message(FATAL_ERROR "Signing needs both XCYH2_SIGNING_CERT and XCYH2_SIGNING_KEY: ${var} is not set")
    endif()
  endforeach()
  foreach(var XCYH2_SIGNING_CERT XCYH2_SIGNING_KEY)
    if(NOT EXISTS "${${var}}" OR IS_DIRECTORY "${${var}}")
      message(FATAL_ERROR "${var}: ${${var}}: no such file")
    endif()
  endforeach()
  foreach(tool openssl osslsigncode)
    string(TOUPPER ${tool} var)
    find_program(XCYH2_${var} ${tool})
    if(NOT XCYH2_${var})
      message(FATAL_ERROR "Signing needs ${tool} (tools/install-deps installs it)")
    endif()
  endforeach()
  # Nothing openssl prints is shown: the certificate's public key is compared, nothing else kept.
  execute_process(COMMAND ${XCYH2_OPENSSL} x509 -noout -pubkey -in ${XCYH2_SIGNING_CERT}
                  INPUT_FILE /dev/null RESULT_VARIABLE rc OUTPUT_VARIABLE cert_key ERROR_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "XCYH2_SIGNING_CERT: ${XCYH2_SIGNING_CERT} is not a certificate (openssl x509 cannot read it)")
  endif()
  # An empty pass phrase: a key that needs one fails here rather than waiting for a prompt.
  execute_process(COMMAND ${XCYH2_OPENSSL} pkey -pubout -passin pass: -in ${XCYH2_SIGNING_KEY}
                  INPUT_FILE /dev/null RESULT_VARIABLE rc OUTPUT_VARIABLE public_key ERROR_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "XCYH2_SIGNING_KEY: ${XCYH2_SIGNING_KEY} is not a private key without a pass phrase (openssl pkey cannot read it)")
  endif()
  if(NOT public_key STREQUAL cert_key)
    message(FATAL_ERROR "XCYH2_SIGNING_KEY: ${XCYH2_SIGNING_KEY} is not the key of the certificate ${XCYH2_SIGNING_CERT}")
  endif()
endfunction()

# The command that signs one file in place: XCYH2_SIGN_COMMAND FILE.
set(XCYH2_SIGN_SCRIPT ${CMAKE_BINARY_DIR}/generated/sign.cmake)
if(NOT XCYH2_SIGNING)
  # A folder that signed before and no longer does keeps no signing script.
  file(REMOVE ${XCYH2_SIGN_SCRIPT})
else()
  xcyh2_check_signing_files()
  # The signature's description is the version resource's FileDescription: the window caption.
  configure_file(${XCYH2_ROOT}/cmake/sign.cmake.in ${XCYH2_SIGN_SCRIPT} @ONLY)
  set(XCYH2_SIGN_COMMAND ${CMAKE_COMMAND} -P ${XCYH2_SIGN_SCRIPT} --)
  # What a signature is made from: another certificate, key or server signs everything again.
  set(XCYH2_SIGN_DEPENDS ${XCYH2_SIGN_SCRIPT} ${XCYH2_SIGNING_CERT} ${XCYH2_SIGNING_KEY})
endif()

# xcyh2_sign(TARGET): the executable is signed right after it is linked, when the build signs.
function(xcyh2_sign target)
  if(NOT XCYH2_SIGNING)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${XCYH2_SIGN_COMMAND} $<TARGET_FILE:${target}>
    COMMENT "Signing ${target}"
    VERBATIM)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${XCYH2_SIGN_DEPENDS})
endfunction()
