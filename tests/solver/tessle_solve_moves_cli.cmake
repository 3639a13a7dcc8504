# Runs tessle-solve --moves on lines good and bad and checks stdout, stderr and the exit status;
# then --help and an unknown argument.
# Usage: cmake -DTOOL=<tessle-solve> [-DEMULATOR=<runner>] -DWORK_DIR=<dir>
#              -P tessle_solve_moves_cli.cmake
# The 4 x 4 lines need no search (solved, unsolvable), so the run does not build the 4 x 4
# tables; the searches themselves are the unit tests' business.

string(REPEAT "1 " 129 long_line)

function(run_tool input_name input)
  set(input_file "${WORK_DIR}/tessle_solve_moves_${input_name}.txt")
  file(WRITE "${input_file}" "${input}")
  execute_process(COMMAND ${EMULATOR} "${TOOL}" ${ARGN}
                  INPUT_FILE "${input_file}"
                  OUTPUT_VARIABLE out
                  ERROR_VARIABLE err
                  RESULT_VARIABLE status)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
  set(status "${status}" PARENT_SCOPE)
endfunction()

function(expect what actual expected)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "unexpected ${what}:\n${actual}\nexpected:\n${expected}")
  endif()
endfunction()

# Good lines only: spaces, commas, tabs, a CRLF line, a blank line, solved and unsolvable boards
# of both sizes, and a last line without a newline. Exit status 0.
set(input "1 2 3 4 5 6 0 7 8\n\n1,2,3,4,5,0,7,8,6\r\n 1, 2, 3,\t4 5 6 7 8 0 \n1 2 3 4 5 6 8 7 0
1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0\n1 2 3 4 5 6 7 8 9 10 11 12 13 15 14 0")
run_tool(good "${input}" --moves)
expect("exit status" "${status}" "0")
expect("output" "${out}" "2: 7 8\n1: 6\n0:\nunsolvable\n0:\nunsolvable\n")
expect("error output" "${err}" "")

# Each kind of bad line is reported with its line number, the next line is still read, and the
# exit status is 1.
set(input "1 2 3 4 5 6 7 8
1 2 3 4 5 6 7 0 8
1 2 3 4 5 6 7 8 0 9
1 2 x 4 5 6 7 8 0
1 2 3 4 5 6 7 8 -0.5
1 1 3 4 5 6 7 8 0
1 2 3 4 5 6 7 8 9
1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16
1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 100000000000000000000
${long_line}
1 2 3 4 5 6 7 0 8
")
run_tool(bad "${input}" --moves)
expect("exit status" "${status}" "1")
expect("output" "${out}" "1: 8\n1: 8\n")
expect("error output" "${err}" "tessle-solve: line 1: 8 numbers, 9 or 16 expected
tessle-solve: line 3: 10 numbers, 9 or 16 expected
tessle-solve: line 4: \"x\" is not a number
tessle-solve: line 5: \"-0.5\" is not a number
tessle-solve: line 6: 1 appears more than once and 2 is missing
tessle-solve: line 7: 9 is out of range: a 3 x 3 board takes 0 to 8
tessle-solve: line 8: 16 is out of range: a 4 x 4 board takes 0 to 15
tessle-solve: line 9: 100000000000000000000 is out of range: a 4 x 4 board takes 0 to 15
tessle-solve: line 10: longer than 256 characters
")

run_tool(help "" --help)
expect("exit status of --help" "${status}" "0")
if(NOT out MATCHES "^Usage: tessle-solve \\[--moves\\]\n.*--moves.*--help")
  message(FATAL_ERROR "unexpected --help output:\n${out}")
endif()

run_tool(unknown "" --move)
expect("exit status of an unknown argument" "${status}" "2")
if(NOT err MATCHES "^tessle-solve: unknown argument \"--move\"\nUsage: ")
  message(FATAL_ERROR "unexpected error output for an unknown argument:\n${err}")
endif()
