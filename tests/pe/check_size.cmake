# cmake -DFILE=EXE -DMAX=BYTES -P check_size.cmake: fails when EXE is larger than BYTES.
file(SIZE "${FILE}" size)
if(size GREATER MAX)
  message(FATAL_ERROR "${FILE} is ${size} bytes, more than the ${MAX} allowed")
endif()
message(STATUS "${FILE}: ${size} bytes of at most ${MAX}")
