# cmake -DBENCHRUN=PATH -DOUT=FILE.md -P quick_run.cmake: a short run of everything
# make bench runs, failing when a program does not run or a figure is missing or grossly
# off (benchrun --guard), or when the table lacks a figure or a stage.
file(REMOVE ${OUT})
execute_process(COMMAND ${BENCHRUN} --quick --guard ${OUT} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "benchrun --quick --guard failed")
endif()

file(STRINGS ${OUT} rows ENCODING UTF-8 REGEX "^\\| ")
set(number "[0-9]+(\\.[0-9]+)?(e[-+][0-9]+)?")
set(figures "Start-up, exec to first frame" "Start-up, against a floor"
            "Start-up under metacity" "Frame, display"
            "Press, flipCross" "Grid sizing, initPointGrid")
foreach(figure IN LISTS figures)
  set(row ${rows})
  list(FILTER row INCLUDE REGEX "^\\| ${figure}")
  if(NOT row MATCHES "\\| ${number} [mn]s.*\\| ${number} [mn]s.*\\| ${number} \\|.*\\| (met|\\*\\*missed\\*\\*|reported) \\|$")
    message(FATAL_ERROR "no well-formed row for ${figure}:\n${row}")
  endif()
endforeach()

set(stageRows ${rows})
list(FILTER stageRows INCLUDE REGEX " ms \\| [-+][0-9.]+ ms \\|$")
list(LENGTH stageRows stageCount)
if(NOT stageCount EQUAL 12)  # every stage but the bare window's draw, which has no difference
  message(FATAL_ERROR "expected 12 stages with a difference, found ${stageCount}:\n${rows}")
endif()
message(STATUS "${OUT}: every figure and stage is there")
