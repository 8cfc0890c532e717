# The publisher's manifest-signing key, compiled into the shell and the updater.
# -DXCYH2_PUBLISHER_KEY=FILE names a P-256 public key in PEM form, as `openssl ec -pubout`
# writes it; the build then refuses update information that this key did not sign. Without it
# nothing is checked. The key is public: nothing private is ever read here.
set(XCYH2_PUBLISHER_KEY "" CACHE FILEPATH "PEM file of the publisher's P-256 public key (empty: none)")

set(XCYH2_HAS_PUBLISHER_KEY false)
set(XCYH2_PUBLISHER_KEY_BYTES "")
if(XCYH2_PUBLISHER_KEY)
  set(key_file "${XCYH2_PUBLISHER_KEY}")
  if(NOT EXISTS "${key_file}")
    message(FATAL_ERROR "XCYH2_PUBLISHER_KEY: no file ${key_file}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${key_file}")
  find_program(XCYH2_OPENSSL openssl)
  if(NOT XCYH2_OPENSSL)
    message(FATAL_ERROR "XCYH2_PUBLISHER_KEY: openssl is needed to read ${key_file} (tools/install-deps installs it)")
  endif()
  set(der_file "${CMAKE_BINARY_DIR}/generated/publisher-key.der")
  execute_process(COMMAND "${XCYH2_OPENSSL}" pkey -pubin -in "${key_file}" -outform DER -out "${der_file}"
                  RESULT_VARIABLE read_failed OUTPUT_QUIET ERROR_QUIET)
  if(read_failed)
    message(FATAL_ERROR "XCYH2_PUBLISHER_KEY: ${key_file} is not a PEM public key")
  endif()
  file(READ "${der_file}" der HEX)
  file(REMOVE "${der_file}")
  # A P-256 key's SubjectPublicKeyInfo is always these 27 bytes (id-ecPublicKey, prime256v1, an
  # uncompressed point) and then the point's x and y, 32 bytes each.
  set(prefix "3059301306072a8648ce3d020106082a8648ce3d03010703420004")
  string(LENGTH "${der}" der_length)
  string(FIND "${der}" "${prefix}" at)
  if(NOT der_length EQUAL 182 OR NOT at EQUAL 0)
    message(FATAL_ERROR "XCYH2_PUBLISHER_KEY: ${key_file} is not a P-256 (prime256v1) public key")
  endif()
  string(SUBSTRING "${der}" 54 128 point)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," XCYH2_PUBLISHER_KEY_BYTES "${point}")
  set(XCYH2_HAS_PUBLISHER_KEY true)
endif()
configure_file(${XCYH2_ROOT}/src/base/PublisherKey.h.in ${CMAKE_BINARY_DIR}/generated/PublisherKey.h @ONLY)
