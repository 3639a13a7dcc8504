# Runs tessle-solve on a fixed input and checks stdout, stderr and the exit status.
# Usage: cmake -DTOOL=<tessle-solve> [-DEMULATOR=<runner>] -DWORK_DIR=<dir>
#              -P tessle_solve_cli.cmake
# EMULATOR runs the tool of a cross build (the Wine wrapper, which also turns CRLF into LF).

string(REPEAT "7" 64 max_line)
string(REPEAT "7" 65 long_line)

# Blank lines print nothing, a CRLF line is read without its "\r", an over-long line is
# reported and skipped, and the last line has no newline.
set(input "123456708\n\n123456780\r\n${long_line}\n0\n12345678\n${max_line}\n123456870")
set(expected_out "123456708 1 3 0,0 123456708 123456708
123456780 1 5 1,0 123456780 123450786
0 0 1 -
12345678 0 1 -
${max_line} 0 1 -
123456870 0 181440 -
")
set(expected_err "tessle-solve: line 4: longer than 64 characters, skipped\n")

set(input_file "${WORK_DIR}/tessle_solve_cli_input.txt")
file(WRITE "${input_file}" "${input}")
execute_process(COMMAND ${EMULATOR} "${TOOL}"
                INPUT_FILE "${input_file}"
                OUTPUT_VARIABLE out
                ERROR_VARIABLE err
                RESULT_VARIABLE status)

if(NOT status EQUAL 0)
  message(FATAL_ERROR "tessle-solve exited with ${status}\n${err}")
endif()
if(NOT out STREQUAL expected_out)
  message(FATAL_ERROR "unexpected output:\n${out}\nexpected:\n${expected_out}")
endif()
if(NOT err STREQUAL expected_err)
  message(FATAL_ERROR "unexpected error output:\n${err}\nexpected:\n${expected_err}")
endif()
