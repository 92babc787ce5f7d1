# Runs the reader's fuzzer for SECONDI seconds on a fresh corpus made of the
# writer's seeds (SEMI) and the samples small enough to mutate (CAMPIONI,
# when present); fails on any crash, leak, hang or sanitizer report, and
# prints what the run did.
foreach(variabile FUZZER SEMI CAMPIONI DIZIONARIO LAVORO SECONDI)
  if(NOT DEFINED ${variabile})
    message(FATAL_ERROR "esegui_fuzz.cmake: ${variabile} not given")
  endif()
endforeach()

set(corpus ${LAVORO}/corpus)
set(difetti ${LAVORO}/difetti)
file(REMOVE_RECURSE ${LAVORO})
file(MAKE_DIRECTORY ${corpus} ${difetti})

execute_process(COMMAND ${SEMI} ${corpus} RESULT_VARIABLE esito)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "the seed writer failed: ${esito}")
endif()
# Northwind (2 MB) and the code index (340 KB) would only slow every run.
set(massimo 65536)
foreach(nome empty-3.5.sdf schema-only-4.0.sdf encrypted-3.5.sdf)
  if(EXISTS ${CAMPIONI}/${nome})
    file(SIZE ${CAMPIONI}/${nome} dimensione)
    if(dimensione LESS_EQUAL massimo)
      file(COPY ${CAMPIONI}/${nome} DESTINATION ${corpus})
    endif()
  else()
    message(STATUS "sample ${nome} absent: seeds from the writer only")
  endif()
endforeach()
file(GLOB semi ${corpus}/*)
list(LENGTH semi quantiSemi)

execute_process(
  COMMAND ${FUZZER} ${corpus}
    -max_total_time=${SECONDI} -timeout=10 -rss_limit_mb=2048 -max_len=${massimo}
    -dict=${DIZIONARIO} -print_final_stats=1 -artifact_prefix=${difetti}/
  RESULT_VARIABLE esito
  OUTPUT_VARIABLE uscita
  ERROR_VARIABLE uscita)

string(REGEX MATCH "stat::number_of_executed_units: *([0-9]+)" _ "${uscita}")
set(esecuzioni "${CMAKE_MATCH_1}")
string(REGEX MATCH "Done ([0-9]+) runs in ([0-9]+) second" _ "${uscita}")
set(secondi "${CMAKE_MATCH_2}")
string(REGEX MATCH "stat::peak_rss_mb: *([0-9]+)" _ "${uscita}")
set(memoria "${CMAKE_MATCH_1}")
string(REGEX MATCH "DONE +cov: ([0-9]+) ft: [0-9]+ corp: ([0-9]+)" _ "${uscita}")
set(copertura "${CMAKE_MATCH_1}")
set(corpusFinale "${CMAKE_MATCH_2}")
file(GLOB trovati ${difetti}/*)
list(LENGTH trovati quantiDifetti)
message(STATUS "compact_reader_fuzz: ${esecuzioni} executions in ${secondi} s from ${quantiSemi} seeds, "
  "coverage ${copertura} edges, corpus ${corpusFinale}, peak ${memoria} MB, ${quantiDifetti} crashes")

if(NOT esito EQUAL 0 OR quantiDifetti GREATER 0 OR uscita MATCHES "ERROR: |runtime error:|SUMMARY: ")
  message(FATAL_ERROR "the fuzzer found a fault (exit ${esito}); inputs in ${difetti}\n${uscita}")
endif()
if(NOT esecuzioni GREATER 0)
  message(FATAL_ERROR "the fuzzer did not run\n${uscita}")
endif()
