# Fails when a text marked for translation has no English in translations/zok2_en.ts.
# Run with -DSOURCE_DIR=<project> -DWORK_DIR=<scratch folder> -DLUPDATE=<lupdate>.
file(MAKE_DIRECTORY ${WORK_DIR})
configure_file(${SOURCE_DIR}/translations/zok2_en.ts ${WORK_DIR}/zok2_en.ts COPYONLY)
execute_process(
  COMMAND ${LUPDATE} ${SOURCE_DIR}/src -extensions cpp,h -no-obsolete -locations none
          -tr-function-alias translate+=Tr,translate+=T,QT_TRANSLATE_NOOP+=ZOK2_NOOP -ts ${WORK_DIR}/zok2_en.ts
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate failed:\n${output}")
endif()
file(READ ${WORK_DIR}/zok2_en.ts updated)
string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation type=\"unfinished\">" missing "${updated}")
list(LENGTH missing count)
if(count GREATER 0)
  string(REPLACE ";" "\n" missing "${missing}")
  message(FATAL_ERROR "${count} texts have no English; run `cmake --build BUILD --target update_translations` and translate them:\n${missing}")
endif()
message(STATUS "every marked text has its English (${output})")
