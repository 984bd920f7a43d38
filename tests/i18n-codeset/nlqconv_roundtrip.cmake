# Runs text through nlqconv from UTF-8 into a chain of codesets and back, and checks that
# it comes back byte for byte; then checks that a character the target lacks is replaced
# with exit status 1. Called by CTest with NLQCONV, DATA (the data folder) and WORK.
set(ENV{NLQDIR} ${DATA})
file(MAKE_DIRECTORY ${WORK})
# Japanese and ASCII text that every codeset of the chain holds.
string(ASCII 230 151 165 230 156 172 32 68 105 115 107 32 51 10 _text)
file(WRITE ${WORK}/in.txt "${_text}")
set(_from UTF-8)
set(_file ${WORK}/in.txt)
foreach(_to IBM-939 EUC-JP SJIS GB18030 UTF-8)
  execute_process(COMMAND ${NLQCONV} -f ${_from} -t ${_to} ${_file}
                  OUTPUT_FILE ${WORK}/${_to}.out RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "nlqconv -f ${_from} -t ${_to} failed: ${_rc}")
  endif()
  set(_from ${_to})
  set(_file ${WORK}/${_to}.out)
endforeach()
file(READ ${WORK}/in.txt _before HEX)
file(READ ${WORK}/UTF-8.out _after HEX)
if(NOT _before STREQUAL _after)
  message(FATAL_ERROR "round trip changed the text: ${_before} -> ${_after}")
endif()
file(READ ${WORK}/IBM-939.out _ebcdic HEX)
if(NOT _ebcdic STREQUAL "0e456245660f40c489a29240f315")
  message(FATAL_ERROR "unexpected EBCDIC bytes ${_ebcdic}")
endif()
# U+00E9 is not in Shift-JIS: replaced, exit status 1.
string(ASCII 99 97 102 195 169 _cafe)
file(WRITE ${WORK}/cafe.txt "${_cafe}")
execute_process(COMMAND ${NLQCONV} -f UTF-8 -t SJIS ${WORK}/cafe.txt
                OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 1 OR NOT _out STREQUAL "caf?")
  message(FATAL_ERROR "substitution: status ${_rc}, output '${_out}', ${_err}")
endif()
