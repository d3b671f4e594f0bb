# Fails when a text of the sources has no finished translation in one of the
# .ts files: copies of the files are brought up to date with the sources by
# lupdate, as a developer would, and every message of the copies must then be
# finished and not empty. A text added to the sources without a translation,
# or one whose translation was dropped, is named in the failure.
# Run with -DLUPDATE=... -DSOURCES=<folder> -DWORK=<scratch folder> -DTS_FOLDER=<folder of the .ts files>
file(GLOB TS_FILES "${TS_FOLDER}/*.ts")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(copies)
foreach(ts IN LISTS TS_FILES)
  get_filename_component(name "${ts}" NAME)
  configure_file("${ts}" "${WORK}/${name}" COPYONLY)
  list(APPEND copies "${WORK}/${name}")
endforeach()
execute_process(COMMAND "${LUPDATE}" -silent -no-obsolete -locations none "${SOURCES}" -ts ${copies}
                RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed: ${errors}")
endif()
set(faults "")
set(total 0)
foreach(copy IN LISTS copies)
  file(READ "${copy}" text)
  string(REGEX MATCHALL "<message>" messages "${text}")
  list(LENGTH messages count)
  math(EXPR total "${total} + ${count}")
  string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation( type=\"unfinished\")?>(</translation>)?"
         unfinished "${text}")
  foreach(entry IN LISTS unfinished)
    if(entry MATCHES "unfinished|</translation>$")
      string(REGEX REPLACE "<source>([^<]*)</source>.*" "\\1" source "${entry}")
      string(APPEND faults "\n  ${copy}: \"${source}\"")
    endif()
  endforeach()
endforeach()
if(NOT faults STREQUAL "")
  message(FATAL_ERROR "texts without a translation:${faults}")
endif()
message(STATUS "${total} messages, all translated")
